#pragma once
// The program's purpose and version; a small tool window that stays on top.

#include <QDialog>
#include <memory>

#include "settings/Settings.h"

namespace Ui {
class TInfoForm;
}

namespace orbik::app {

class TInfoForm : public QDialog {
    Q_OBJECT

  public:
    TInfoForm(const settings::Settings& settings, QWidget* parent = nullptr);
    ~TInfoForm() override;

  private:
    std::unique_ptr<Ui::TInfoForm> ui_;
};

}  // namespace orbik::app
