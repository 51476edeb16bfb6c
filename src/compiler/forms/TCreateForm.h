#pragma once
// The build's progress window: the last finished step above, the step in
// progress (or the error that stopped the build) below. The build runs on
// this thread without processing events, so every change repaints at once.

#include <QDialog>
#include <memory>

#include "compiler/BuildLog.h"

namespace Ui {
class TCreateForm;
}
namespace orbik::ui {
class WindowContext;
}

namespace orbik::compiler {

class TCreateForm : public QDialog, public StatusLines {
    Q_OBJECT

  public:
    explicit TCreateForm(const ui::WindowContext& context, QWidget* parent = nullptr);
    ~TCreateForm() override;

    // The build has returned: the user may close the window.
    void BuildFinished();

  protected:
    void Changed() override;

  private:
    std::unique_ptr<Ui::TCreateForm> ui_;
};

}  // namespace orbik::compiler
