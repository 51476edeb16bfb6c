#pragma once
// "Edit Action": one action line as plain text, or, for a Find Name line,
// its name and number fields; "Manual" edits any line as text.

#include <QDialog>
#include <string>

class QCheckBox;
class QLineEdit;
class QPushButton;
namespace orbik::ui {
class WindowContext;
}

namespace orbik::editor {

struct EditedAction {
    std::string line;
};

class TEditActionForm : public QDialog {
    Q_OBJECT

  public:
    TEditActionForm(const ui::WindowContext& context, const std::string& line,
                    QWidget* parent = nullptr);

    EditedAction Result() const;

  private:
    bool FieldsShown() const;
    void CB_manualClick();
    void Update();

    bool findName_ = false;
    QLineEdit* action_;
    QLineEdit* name_;
    QLineEdit* number_;
    QCheckBox* manual_;
    QPushButton* ok_;
};

}  // namespace orbik::editor
