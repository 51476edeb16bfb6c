#pragma once
// The settings dialog: serial port, connection test and device ID, program
// and project languages, firmware version and the upgrade tool.

#include <QDialog>
#include <QString>
#include <memory>

#include "settings/Settings.h"

namespace Ui {
class TOptionsForm;
}

namespace orbik::link {
class DeviceLink;
}
namespace orbik::ui {
class Dialogs;
class WindowContext;
}  // namespace orbik::ui

namespace orbik::app {

class TOptionsForm : public QDialog {
    Q_OBJECT

  public:
    explicit TOptionsForm(ui::WindowContext& context, QWidget* parent = nullptr);
    ~TOptionsForm() override;

    // Where the upgrade tool's output goes when no terminal shows it; empty
    // until it was started that way.
    const QString& UpgradeLogFile() const { return upgradeLog_; }

  protected:
    // Escape leaves through Close_B, the dialog's only way out.
    void reject() override;

  private:
    void FormCreate();
    void ApplyTexts();
    void FillPorts();
    bool PortShown() const;
    void UsePortShown();
    void CB_PortChange();
    void Refresh_BClick();
    void Store_BClick();
    void Test_BClick();
    void StoreL_BClick();
    void PortPageChange(int index);
    void B_UpdateClick();
    void Close_BClick();

    std::unique_ptr<Ui::TOptionsForm> ui_;
    ui::WindowContext& context_;
    const settings::Settings& settings_;
    link::DeviceLink& link_;
    ui::Dialogs& dialogs_;
    bool storeLanguages_ = false;
    QString msgText_;
    QString noDeviceText_;
    QString restartText_;
    QString upgradeLog_;
    bool closing_ = false;
};

}  // namespace orbik::app
