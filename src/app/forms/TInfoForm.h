#pragma once
// The program's purpose and version; a small tool window that stays on top.

#include <QDialog>
#include <memory>

namespace Ui {
class TInfoForm;
}
namespace orbik::ui {
class WindowContext;
}

namespace orbik::app {

class TInfoForm : public QDialog {
    Q_OBJECT

  public:
    explicit TInfoForm(const ui::WindowContext& context, QWidget* parent = nullptr);
    ~TInfoForm() override;

  private:
    std::unique_ptr<Ui::TInfoForm> ui_;
};

}  // namespace orbik::app
