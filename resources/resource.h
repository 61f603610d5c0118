#pragma once
// Resource ids of the client. Skin images are PNG resources of the custom type
// "PNG" with numeric ids; the icon group 128 is the client's icon.

#define IDI_VORN 128
