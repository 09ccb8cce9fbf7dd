#include "qt/CardFormat.h"

#include <QGuiApplication>

#include "common/Messages.h"
#include "qt/FormatDialog.h"

namespace vocell::qt {
namespace {

class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace

FormatOutcome FormatSelectedCard(QWidget* parent, int driveIndex, const MediumIdentity& selected,
                                 const CardFormatServices& services) {
    const char letter = static_cast<char>('A' + driveIndex);
    auto refuse = [&](const std::string& why) {
        services.tell(why);
        return FormatOutcome::Refused;
    };
    std::string currentLabel;
    const auto target = services.targetOf ? services.targetOf(letter, currentLabel) : std::nullopt;
    if (!target) return refuse(std::string(1, letter) + ":" + std::string(text::format::kNotACardReader));
    if (target->medium != selected) return refuse(std::string(text::kPleaseSelectDevice));
    if (services.formatter == nullptr) return refuse(std::string(text::format::kNoFormatter));
    if (FormatResult allowed = services.formatter->Check(*target); !allowed.ok) return refuse(allowed.error);
    const auto label = services.askLabel ? services.askLabel(parent, *target, currentLabel)
                                         : FormatDialog(parent, *target, currentLabel).Run();
    if (!label) return FormatOutcome::Closed;  // Cancel leaves the card as it is
    // The drives may have changed while our dialog was open: only the medium it showed is formatted,
    // wherever it is now (a reader plugged in again gets another node), and the formatter checks
    // that medium once more on the device itself.
    std::string labelAfterDialog;
    const auto shown = services.targetOf(letter, labelAfterDialog);
    if (!shown || shown->medium != selected) return refuse(std::string(text::kPleaseSelectDevice));
    if (services.releaseCard) services.releaseCard();
    FormatResult result;
    {
        BusyCursor busy;
        result = services.formatter->Format(*shown, *label);
    }
    if (!result.ok) return refuse(result.error);
    return FormatOutcome::Formatted;
}

}  // namespace vocell::qt
