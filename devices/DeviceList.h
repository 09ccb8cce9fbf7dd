#pragma once
// The hidden device list of the main dialog: a drop-down list that keeps its items in the order
// they were inserted, with the list control's find, insert and selection rules.

#include <string>
#include <vector>

namespace vocell::devices {

inline constexpr int kNoItem = -1;

class DeviceList {
public:
    [[nodiscard]] int count() const { return static_cast<int>(items_.size()); }
    [[nodiscard]] const std::vector<std::string>& items() const { return items_; }
    // The item's text; empty for a position without an item.
    [[nodiscard]] std::string ItemText(int position) const;
    // Searches from the item after position 0 to the end, then wraps around to item 0; letters are
    // compared without regard to case. The position found, or kNoItem.
    [[nodiscard]] int FindExact(const std::string& text) const;
    // Inserts at position (0..count); false, and nothing inserted, for a position past the end.
    bool InsertAt(int position, const std::string& text);
    void DeleteItem(int position);
    void Clear() {
        items_.clear();
        selection_ = kNoItem;
    }

    [[nodiscard]] int selection() const { return selection_; }
    // Selects the item at position, or clears the selection when there is none there.
    void Select(int position);

private:
    std::vector<std::string> items_;
    int selection_ = kNoItem;
};

}  // namespace vocell::devices
