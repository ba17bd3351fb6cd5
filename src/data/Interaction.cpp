#include "Interaction.h"

namespace {

// Used until a real service is installed (for example while the data module is
// built before the window system is up): answers "no", remembers nothing.
class SilentInteraction final : public Interaction {
public:
    void showWarning(QWidget *, const QString &, const QString &) override {}
    void showInfo(QWidget *, const QString &, const QString &) override {}
    bool askYesNo(QWidget *, const QString &, const QString &) override { return false; }
    void notify(QWidget *, const QString &, const QString &) override {}
    QString getSaveFileName(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    QString getOpenFileName(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    bool openWithDefaultProgram(const QString &) override { return false; }
    int runModal(QDialog *) override { return 0; }
    void beginBusy() override {}
    void endBusy() override {}
};

std::unique_ptr<Interaction> &slot()
{
    static std::unique_ptr<Interaction> service = std::make_unique<SilentInteraction>();
    return service;
}

} // namespace

Interaction &interaction() { return *slot(); }

std::unique_ptr<Interaction> setInteraction(std::unique_ptr<Interaction> service)
{
    std::unique_ptr<Interaction> previous = std::move(slot());
    slot() = service ? std::move(service) : std::make_unique<SilentInteraction>();
    return previous;
}

WaitCursor::WaitCursor() { interaction().beginBusy(); }
WaitCursor::~WaitCursor() { interaction().endBusy(); }
