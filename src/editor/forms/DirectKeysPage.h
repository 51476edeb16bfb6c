#pragma once
// The DKeys page: the eight direct keys, each active or not, and the
// action list of the chosen key inside its "PushDevice"/"PopDevice" frame.

#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "editor/ActionList.h"
#include "editor/forms/ActionWidgets.h"

class QCheckBox;
class QComboBox;
class QListWidget;
class QPushButton;
class QToolButton;
namespace orbik::ui {
class WindowContext;
}

namespace orbik::editor {

class TProjectForm;

class DirectKeysPage : public QWidget {
    Q_OBJECT

  public:
    DirectKeysPage(TProjectForm& form, ui::WindowContext& context);

  protected:
    void showEvent(QShowEvent* event) override;
    // The Delete key in the list deletes the selected line.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Build();
    void FillDevices();
    // Shows the chosen key from the model; nothing pending afterwards.
    void ShowKey();
    void ShowLines(std::optional<std::size_t> selected);
    void UpdateControls();
    void SetPending(bool pending);
    void Changed(std::optional<std::size_t> selected);
    std::vector<std::string> Compose();
    void CB_ActiveClick();
    void DKeyAdd_BClick();
    void DKeyInsert_BClick();
    void DKeyDelete_BClick();
    void Move(bool up);
    void ConfirmKey();
    void ConfirmDKey_BClick();
    void RestoreDKey_BClick();
    int Key() const;  // 1 to 8

    TProjectForm& form_;
    ui::WindowContext& context_;
    ActionLines lines_;
    bool pending_ = false;      // the key's list or its tick changed
    bool listChanged_ = false;  // the list changed: the tick stays as it is

    QComboBox* keys_;
    QCheckBox* active_;
    QListWidget* actions_;
    RadioGroup signals_;
    QComboBox* buttons1_;
    QComboBox* devices_;
    QComboBox* buttons2_;
    QComboBox* repTime_;
    QComboBox* pause_;
    QPushButton* add_;
    QPushButton* insert_;
    QPushButton* delete_;
    QToolButton* up_;
    QToolButton* down_;
    QPushButton* confirm_;
    QPushButton* restore_;
};

}  // namespace orbik::editor
