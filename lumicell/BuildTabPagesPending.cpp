// The Build Budget dialog's own-file pages until they are built: each page says that its work
// is not available yet in this version, and OK on it tells the user so and runs nothing.
#include "lumicell/BuildTabPages.h"
#include "lumicell/NotYetAvailable.h"

#include <QLabel>
#include <QVBoxLayout>

namespace lumicell {

namespace {

class PendingPage final : public BuildTabPage {
public:
    PendingPage(QWidget* parent, QString what, QString caption)
        : BuildTabPage(parent)
        , what_(std::move(what))
        , caption_(std::move(caption)) {
        auto* layout = new QVBoxLayout(this);
        auto* text = new QLabel(NotYetAvailableText(what_), this);
        text->setWordWrap(true);
        layout->addWidget(text);
        layout->addStretch();
    }

    QString okCaption() const override { return caption_; }
    bool runOk() override {
        SayNotYetAvailable(what_);
        return false;
    }

private:
    QString what_;
    QString caption_;
};

} // namespace

BuildTabPage* MakeWorksheetsPage(QWidget* parent) {
    return new PendingPage(parent, QStringLiteral("Making worksheets"), QStringLiteral("Make"));
}

BuildTabPage* RunMacrosPage(QWidget* parent) {
    return new PendingPage(parent, QStringLiteral("Running macros"), QStringLiteral("Run"));
}

BuildTabPage* RangePage(QWidget* parent) {
    return new PendingPage(parent, QStringLiteral("The spreadsheet data import"), QStringLiteral("OK"));
}

} // namespace lumicell
