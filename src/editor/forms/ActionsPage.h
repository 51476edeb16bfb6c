#pragma once
// The Configure page: the action list of the menu entry selected in the
// project tree, the groups that compose action lines, and Confirm and
// Restore against the model.

#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "editor/ActionList.h"
#include "editor/ProjectModel.h"
#include "editor/forms/ActionWidgets.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;
namespace orbik::ui {
class WindowContext;
}

namespace orbik::editor {

class TProjectForm;

class ActionsPage : public QWidget {
    Q_OBJECT

  public:
    ActionsPage(TProjectForm& form, ui::WindowContext& context);

  protected:
    // The Delete key in the list deletes the selected line.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    enum class Place { Append, Insert };
    // The composing groups, in the order of their Add buttons.
    enum Group { Interface, Telephone, Menu, Bluetooth };

    void Build();
    void ApplyTexts();
    // Shows the selected entry from the model; nothing pending afterwards.
    void ShowEntry();
    void ShowLines(std::optional<std::size_t> selected);
    void UpdateControls();
    void ShowInputs();
    void Changed(std::optional<std::size_t> selected);
    void SetPending(bool pending);

    // The lines the chosen item of a group makes; a dialog's lines for the
    // Radio Signal and Parallel Port items; nothing when it makes none.
    std::vector<std::string> Compose(Group group);
    // The group has an item chosen with all that it needs.
    bool CanCompose(Group group) const;
    void Add(Group group, Place place);
    void Delete();
    void Move(bool up);
    void EditAction_BClick();
    void Confirm_BClick();
    void Restore_BClick();
    void MenuReturn();
    void ConfirmLines();
    void OpenRfWriter();

    TProjectForm& form_;
    ui::WindowContext& context_;
    std::optional<EntryRef> shown_;
    ActionLines lines_;
    bool pending_ = false;
    bool menuOffered_ = false;

    QListWidget* actions_;
    QToolButton* up_;
    QToolButton* down_;
    QPushButton* edit_;
    QPushButton* confirm_;
    QPushButton* restore_;
    RadioGroup groups_[4];
    QPushButton* add_[4] = {};
    QPushButton* insert_[4] = {};  // none for the Menu group
    QPushButton* delete_[4] = {};
    QComboBox* buttons_;
    QComboBox* devices_;
    QCheckBox* asDigit_;
    QComboBox* buttons2_;
    QComboBox* repTime_;
    QComboBox* pause_;
    QComboBox* send_;
    QComboBox* addDigit_;
    QLineEdit* btFind_;
    QLineEdit* btSend_;
    QComboBox* btMore_;
};

}  // namespace orbik::editor
