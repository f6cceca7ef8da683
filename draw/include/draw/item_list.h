#pragma once

#include <cstddef>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace zorbalin::draw {

// The candidates of a draw: the candidate text kept whole, cut at every CR LF. Keeping one
// buffer and the start of each line costs one copy of the text and a number per line,
// instead of a separate string per candidate, which matters for lists of a million.
// The list is a snapshot: it never changes after it is built.
class ItemList {
public:
    // n line breaks give n + 1 items; the empty text gives one empty item.
    explicit ItemList(std::u16string text);

    std::size_t size() const { return lineStarts_.size(); }
    std::u16string_view operator[](std::size_t index) const;
    // The whole text the list was cut from.
    std::u16string_view text() const { return text_; }

    class const_iterator {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = std::u16string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::u16string_view;

        const_iterator() = default;
        const_iterator(const ItemList* list, std::size_t index) : list_(list), index_(index) {}
        std::u16string_view operator*() const { return (*list_)[index_]; }
        const_iterator& operator++() { ++index_; return *this; }
        const_iterator operator++(int) { auto old = *this; ++index_; return old; }
        difference_type operator-(const const_iterator& other) const {
            return static_cast<difference_type>(index_) - static_cast<difference_type>(other.index_);
        }
        bool operator==(const const_iterator& other) const { return index_ == other.index_; }

    private:
        const ItemList* list_ = nullptr;
        std::size_t index_ = 0;
    };
    using value_type = std::u16string_view;
    using iterator = const_iterator;

    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    std::u16string text_;
    std::vector<std::size_t> lineStarts_;  // item i begins at lineStarts_[i]
};

}  // namespace zorbalin::draw
