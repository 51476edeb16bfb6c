#pragma once
// Asks for the name of a new or copied project; OK only for a name the
// projects folder can take.

#include <QDialog>
#include <memory>
#include <string>

namespace Ui {
class TNewNameForm;
}
namespace orbik::ui {
class WindowContext;
}

namespace orbik::projects {

struct NewName {
    std::string name;  // as typed (Windows-1252), not trimmed
};

class TNewNameForm : public QDialog {
    Q_OBJECT

  public:
    explicit TNewNameForm(const ui::WindowContext& context, QWidget* parent = nullptr);
    ~TNewNameForm() override;

    NewName Result() const;
    // Names stored in a fixed field are kept short while typed.
    void SetMaxLength(int length);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void E_NewNameChange();

    std::unique_ptr<Ui::TNewNameForm> ui_;
};

}  // namespace orbik::projects
