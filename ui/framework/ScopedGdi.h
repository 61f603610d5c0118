#pragma once
// The GDI and USER owners now live with the client's other handle owners.

#include "ui/framework/Scoped.h"
