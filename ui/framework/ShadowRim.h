#pragma once
// The soft grey rim of a shadow window: three anti-aliased rounded outlines of
// decreasing transparency, 6 pixels (at 96 DPI) around the window the shadow
// lies behind, drawn at the shadow's scale.

#include "ui/framework/DpiScale.h"

#include <windows.h>
#include <gdiplus.h>

#include <memory>

class ShadowRim {
public:
    static constexpr int kInset = 6;
    static constexpr int kRadius = 3;

    ShadowRim();
    ShadowRim(const ShadowRim&) = delete;
    ShadowRim& operator=(const ShadowRim&) = delete;

    // A lighter grey (for the popup menu).
    void SetLightColors();
    // The pens for a scale; made again when it changes.
    void SetScale(DpiScale scale);
    DpiScale Scale() const { return m_scale; }
    // How far the shadow reaches beyond its window on each side.
    int Inset() const { return m_scale(kInset); }
    // Draws the outlines inside a shadow's client rectangle; nothing once Release ran.
    void Draw(Gdiplus::Graphics& g, const RECT& client);
    // Frees the pens (before GDI+ ends); the next Draw makes them again.
    void Release();

    // The open rounded-rectangle path of an outline: four quarter arcs and the
    // four edges between them.
    static void AddRoundedOutline(Gdiplus::GraphicsPath& path, int left, int top, int right, int bottom, int radius);

private:
    void MakePens();

    DpiScale m_scale;
    Gdiplus::ARGB m_colors[3] = {0x0F8A8A8A, 0x328A8A8A, 0x648A8A8A};
    std::unique_ptr<Gdiplus::Pen> m_pens[3];
};
