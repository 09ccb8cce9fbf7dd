#include "app/CardType.h"

#include "common/Messages.h"

namespace vocell {

std::string_view CardTypeText(std::uint64_t capacityMB) {
    if (capacityMB >= kEightHourSmallestMB && capacityMB <= kEightHourLargestMB) {
        return text::kVocell8Hour;
    }
    return text::kUnknownCardType;
}

}  // namespace vocell
