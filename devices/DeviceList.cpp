#include "devices/DeviceList.h"

#include <algorithm>
#include <cctype>

namespace vocell::devices {
namespace {

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

std::string DeviceList::ItemText(int position) const {
    if (position < 0 || position >= count()) return {};
    return items_[static_cast<std::size_t>(position)];
}

int DeviceList::FindExact(const std::string& text) const {
    for (int step = 1; step <= count(); ++step) {
        const int position = step % count();
        if (EqualIgnoringCase(items_[static_cast<std::size_t>(position)], text)) return position;
    }
    return kNoItem;
}

bool DeviceList::InsertAt(int position, const std::string& text) {
    if (position < 0 || position > count()) return false;
    items_.insert(items_.begin() + position, text);
    if (selection_ >= position) ++selection_;
    return true;
}

void DeviceList::DeleteItem(int position) {
    if (position < 0 || position >= count()) return;
    items_.erase(items_.begin() + position);
    if (selection_ == position) {
        selection_ = kNoItem;
    } else if (selection_ > position) {
        --selection_;
    }
}

void DeviceList::Select(int position) {
    selection_ = (position >= 0 && position < count()) ? position : kNoItem;
}

}  // namespace vocell::devices
