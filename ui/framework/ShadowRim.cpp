#include "ui/framework/ShadowRim.h"

ShadowRim::ShadowRim() = default;

void ShadowRim::SetLightColors()
{
    m_colors[0] = 0x0F9E9E9E;
    m_colors[1] = 0x329E9E9E;
    m_colors[2] = 0x649E9E9E;
    Release();
}

void ShadowRim::SetScale(DpiScale scale)
{
    if (scale == m_scale)
        return;
    m_scale = scale;
    Release();
}

void ShadowRim::Release()
{
    for (auto& pen : m_pens)
        pen.reset();
}

void ShadowRim::MakePens()
{
    static constexpr float kWidths[3] = {2.0f, 2.0f, 4.0f};
    const float factor = static_cast<float>(m_scale.Dpi()) / DpiScale::kBaseDpi;
    for (int i = 0; i < 3; ++i)
        m_pens[i] = std::make_unique<Gdiplus::Pen>(Gdiplus::Color(m_colors[i]), kWidths[i] * factor);
}

void ShadowRim::Draw(Gdiplus::Graphics& g, const RECT& c)
{
    if (!m_pens[0])
        MakePens();
    const DpiScale& px = m_scale;
    const int s = Inset();
    const int r = px(kRadius);
    struct Outline {
        int grow;   // added to left and top
        int shrink; // added to right and bottom
        int radius;
    };
    const Outline outlines[3] = {
        {s - px(5), px(4) - s, r + px(1)},
        {s - px(3), px(2) - s, r + px(1)},
        {s, -(s + px(1)), r - px(1)},
    };
    for (int i = 0; i < 3; ++i) {
        if (!m_pens[i])
            continue;
        Gdiplus::GraphicsPath path(Gdiplus::FillModeAlternate);
        const Outline& o = outlines[i];
        AddRoundedOutline(path, c.left + o.grow, c.top + o.grow, c.right + o.shrink, c.bottom + o.shrink, o.radius);
        g.DrawPath(m_pens[i].get(), &path);
    }
}

void ShadowRim::AddRoundedOutline(Gdiplus::GraphicsPath& path, int left, int top, int right, int bottom, int radius)
{
    const int r = radius;
    const int d = 2 * r;
    path.AddArc(left, top, d, d, 180.0f, 90.0f);
    path.AddLine(left + r, top, right - r, top);
    path.AddArc(right - d, top, d, d, 270.0f, 90.0f);
    path.AddLine(right, top + r, right, bottom - r);
    path.AddArc(right - d, bottom - d, d, d, 0.0f, 90.0f);
    path.AddLine(right - r, bottom, left + r, bottom);
    path.AddArc(left, bottom - d, d, d, 90.0f, 90.0f);
    path.AddLine(left, top + r, left, bottom - r);
}
