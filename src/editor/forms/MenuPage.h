#pragma once
// The "Edit Menu" page of the project window: adds keywords to the menu
// tree, deletes entries with what depends on them, creates devices and sets
// a sub-menu's flags. The operations live in MenuOperations and MenuDisk;
// each change is saved at once.

#include <QWidget>
#include <memory>
#include <optional>

#include "editor/MenuOperations.h"

namespace Ui {
class MenuPage;
}
namespace orbik::ui {
class WindowContext;
}

namespace orbik::editor {

class TProjectForm;

class MenuPage : public QWidget {
    Q_OBJECT

  public:
    MenuPage(TProjectForm& form, ui::WindowContext& context);
    ~MenuPage() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ShowEntry();
    MenuFlags Boxes() const;
    void ApplyTexts();
    void Tell(const QString& text);
    // Saves the change and shows the tree again.
    void Changed();

    void FlagBoxClick();
    void ConfirmSet_BClick();
    void CreateDevice_BClick();
    void DeleteItem_BClick();
    void AddItem_BClick();

    std::unique_ptr<Ui::MenuPage> ui_;
    TProjectForm& form_;
    ui::WindowContext& context_;
    // The entry the boxes show: a pending change belongs to it even after
    // the tree's selection moved on.
    std::optional<EntryRef> shown_;
    bool showing_ = false;  // the boxes are being filled, not clicked
};

}  // namespace orbik::editor
