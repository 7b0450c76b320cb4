// Growable 1-based array: element 0 is a placeholder that is never listed, the first element is [1], and
// removing an element shifts the later ones down. Every list of the game is one of these.
#pragma once

#include <cassert>
#include <cstddef>
#include <vector>

template <class T>
struct List {
    std::vector<T> items = std::vector<T>(1);   // items[0]: the placeholder

    int Count() const { return static_cast<int>(items.size()) - 1; }
    bool Empty() const { return items.size() <= 1; }
    T& operator[](int i) { assert(i >= 0 && i < static_cast<int>(items.size())); return items[static_cast<std::size_t>(i)]; }
    const T& operator[](int i) const { assert(i >= 0 && i < static_cast<int>(items.size())); return items[static_cast<std::size_t>(i)]; }
    int Add(const T& value) { items.push_back(value); return Count(); }
    void RemoveAt(int i) { if (i >= 1 && i <= Count()) items.erase(items.begin() + i); }
    void InsertAt(int i, const T& value) { items.insert(items.begin() + i, value); }
    // Empties the list; the placeholder stays (reset to a default value).
    void Clear() { items.assign(1, T{}); }
    T* begin() { return items.data() + 1; }
    T* end() { return items.data() + items.size(); }
    const T* begin() const { return items.data() + 1; }
    const T* end() const { return items.data() + items.size(); }
};
