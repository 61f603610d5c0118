#pragma once
// The items of one kind a painter owns (buttons or statics), in the order they
// were added: that is also the order they are drawn and hit-tested in. Reads
// like a vector of owning pointers; changes go through the list.

#include <memory>
#include <vector>

template <class Item> class CItemList {
public:
    using Items = std::vector<std::unique_ptr<Item>>;

    CItemList() = default;
    CItemList(const CItemList&) = delete;
    CItemList& operator=(const CItemList&) = delete;

    typename Items::const_iterator begin() const { return m_items.begin(); }
    typename Items::const_iterator end() const { return m_items.end(); }
    size_t size() const { return m_items.size(); }
    bool empty() const { return m_items.empty(); }
    const std::unique_ptr<Item>& operator[](size_t index) const { return m_items[index]; }

    // The first item with this id, or null.
    Item* Find(int id) const
    {
        for (const auto& item : m_items) {
            if (item->id == id)
                return item.get();
        }
        return nullptr;
    }

    Item* Append(std::unique_ptr<Item> item)
    {
        m_items.push_back(std::move(item));
        return m_items.back().get();
    }

    // Deletes the first item with this id; false when there is none.
    bool Remove(int id)
    {
        for (auto it = m_items.begin(); it != m_items.end(); ++it) {
            if ((*it)->id == id) {
                m_items.erase(it);
                ++m_generation;
                return true;
            }
        }
        return false;
    }

    void Clear()
    {
        m_items.clear();
        ++m_generation;
    }

    // Counts removals and clears: an item pointer taken before this count
    // changed may point at freed memory.
    unsigned Generation() const { return m_generation; }

protected:
    Items m_items;

private:
    unsigned m_generation = 0;
};
