#pragma once
// The project list: projects and templates on two tabs; new, open, copy,
// delete, import and export. The operations themselves live in the core.

#include <QDialog>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "projects/ProjectList.h"

namespace Ui {
class TProjectlist;
}
class QTreeWidgetItem;
namespace orbik::ui {
class Dialogs;
class WindowContext;
}  // namespace orbik::ui

namespace orbik::projects {

class TProjectlist : public QDialog {
    Q_OBJECT

  public:
    explicit TProjectlist(ui::WindowContext& context, QWidget* parent = nullptr);
    ~TProjectlist() override;

    // Whether a drag from the list may be dropped at `x` of the tab bar:
    // not on the header of the tab being shown.
    bool DropAllowedAt(const QPoint& position) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ApplyTexts();
    void Fill();
    void AddRow(const ListEntry& entry);
    void SelectName(const std::string& name);
    void SetSelectionButtons(bool enabled);
    void SetBusy(bool busy);
    void ApplySelectionRules();
    bool OnTemplates() const;
    // The folder and list file name of a tab's entries (0 projects, 1 templates).
    fs::path FolderOf(int tab) const;
    std::string_view ListNameOf(int tab) const;
    std::string Today() const;
    std::string SelectedName() const;
    ListEntry SelectedEntry() const;
    QString NameExistsText(int tab) const;

    void TC_ProjectlistChange();
    void LV_ProjectlistDblClick();
    void ToolNewClick();
    void ToolOpenClick();
    void ToolCopyClick();
    void ToolDeleteClick();
    void ToolImportClick();
    void ToolExportClick();

    std::unique_ptr<Ui::TProjectlist> ui_;
    ui::WindowContext& context_;
    ui::Dialogs& dialogs_;
    Folders folders_;
    QString nameExists1_, nameExists2_, alreadyOpen_;
};

}  // namespace orbik::projects
