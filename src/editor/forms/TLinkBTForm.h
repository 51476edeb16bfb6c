#pragma once
// "Link BT": the ConnectBt line that links the hands-free unit with a
// telephone, by its Bluetooth name or address, with the contact source.
// OK is offered only when the active field is complete.

#include <QDialog>
#include <optional>
#include <string>

#include "editor/ActionLines.h"
#include "editor/forms/ActionWidgets.h"

class QLineEdit;
class QPushButton;
namespace orbik::ui {
class WindowContext;
}

namespace orbik::editor {

struct LinkBtResult {
    std::string line;
};

class TLinkBTForm : public QDialog {
    Q_OBJECT

  public:
    // `initial`: the fields of the line being edited, nothing for a new link.
    TLinkBTForm(const ui::WindowContext& context, const std::optional<LinkFields>& initial,
                QWidget* parent = nullptr);

    LinkBtResult Result() const;

  private:
    ComposedLine Composed() const;
    void RG1Click();
    void Update();

    RadioGroup by_;
    RadioGroup source_;
    QLineEdit* name_;
    QLineEdit* id_;
    QPushButton* ok_;
};

}  // namespace orbik::editor
