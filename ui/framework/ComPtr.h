#pragma once
// Owning COM interface pointer: releases its reference when it goes or is reset.
// Copying is deleted so one reference can never be released twice; moving hands
// the reference over.

#include <unknwn.h>

#include <utility>

template <class T> class ComPtr {
public:
    ComPtr() = default;
    // Takes over a reference the caller already owns.
    explicit ComPtr(T* owned) : m_ptr(owned) {}
    ~ComPtr() { Reset(); }

    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : m_ptr(std::exchange(other.m_ptr, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_ptr = std::exchange(other.m_ptr, nullptr);
        }
        return *this;
    }

    // Adds a reference of its own to a pointer the caller keeps.
    static ComPtr Share(T* borrowed)
    {
        if (borrowed)
            borrowed->AddRef();
        return ComPtr(borrowed);
    }

    T* Get() const { return m_ptr; }
    T* operator->() const { return m_ptr; }
    explicit operator bool() const { return m_ptr != nullptr; }

    // Out-argument of a call that hands back a new reference; drops the old one first.
    T** Put()
    {
        Reset();
        return &m_ptr;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    void Reset()
    {
        if (T* old = std::exchange(m_ptr, nullptr))
            old->Release();
    }
    T* Detach() { return std::exchange(m_ptr, nullptr); }

    // QueryInterface for another interface of the same object; null when it is
    // missing. The IID is the interface type's own, so the two always agree.
    template <class U> ComPtr<U> As() const
    {
        ComPtr<U> other;
        if (m_ptr && FAILED(m_ptr->QueryInterface(__uuidof(U), other.PutVoid())))
            other.Reset();
        return other;
    }

private:
    T* m_ptr = nullptr;
};
