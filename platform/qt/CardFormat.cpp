#include "platform/qt/CardFormat.h"

#include <QGuiApplication>

#include "common/Messages.h"
#include "platform/qt/FormatDialog.h"

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

void FormatSelectedCard(QWidget* parent, int driveIndex, const CardFormatServices& services) {
    const char letter = static_cast<char>('A' + driveIndex);
    std::string currentLabel;
    const auto target = services.targetOf ? services.targetOf(letter, currentLabel) : std::nullopt;
    if (!target) {
        services.tell(std::string(1, letter) + ":" + std::string(text::format::kNotACardReader));
        return;
    }
    if (services.formatter == nullptr) {
        services.tell(std::string(text::format::kNoFormatter));
        return;
    }
    if (FormatResult allowed = services.formatter->Check(*target); !allowed.ok) {
        services.tell(allowed.error);
        return;
    }
    const auto label = services.askLabel ? services.askLabel(parent, *target, currentLabel)
                                         : FormatDialog(parent, *target, currentLabel).Run();
    if (!label) return;  // Cancel leaves the card as it is
    if (services.releaseCard) services.releaseCard();
    FormatResult result;
    {
        BusyCursor busy;
        result = services.formatter->Format(*target, *label);
    }
    if (!result.ok) services.tell(result.error);
}

}  // namespace vocell::qt
