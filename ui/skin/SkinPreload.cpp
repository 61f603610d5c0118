#include "ui/skin/SkinPreload.h"

SkinPreload::SkinPreload(std::vector<int> ids, Loader load, int dpi)
    : m_decoded(CreateEventW(nullptr, TRUE, FALSE, nullptr)), m_load(std::move(load)), m_dpi(dpi)
{
    if (!m_load)
        m_load = [dpi](int id) { return LoadPngResource(id, dpi); };
    m_entries.reserve(ids.size());
    for (int id : ids)
        m_entries.push_back({id, nullptr});
    // Without the event nobody could wait for the other threads: nothing is
    // decoded ahead then, and Take decodes each image as it is asked for.
    if (!m_decoded)
        m_next = m_entries.size();
    else if (m_entries.empty())
        SetEvent(m_decoded.Get());
}

SkinPreload::~SkinPreload()
{
    // A thread that began decoding is done by now: its images are taken (the
    // launcher was made) or the object's owner waited for that thread to end.
    m_entries.clear();
}

void SkinPreload::Decode()
{
    // Each entry goes to exactly one thread, which alone writes it.
    for (size_t i = m_next++; i < m_entries.size(); i = m_next++) {
        m_entries[i].image = m_load(m_entries[i].id);
        if (++m_finished == m_entries.size())
            SetEvent(m_decoded.Get());
    }
}

std::unique_ptr<Gdiplus::Image> SkinPreload::Take(int id)
{
    Decode();
    // Decoding the program's own handful of images ends by itself: waiting for
    // the threads that do costs no more than decoding them here would.
    if (m_decoded && WaitForSingleObject(m_decoded.Get(), INFINITE) == WAIT_OBJECT_0) {
        for (Entry& entry : m_entries) {
            if (entry.id == id && entry.image)
                return std::move(entry.image);
        }
    }
    return m_load(id);
}
