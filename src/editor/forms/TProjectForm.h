#pragma once
// The editor of one project, a child window of the main window: the menu
// tree, the keyword list, the pages that edit the project, the structure
// lists and the gauges. The model and its load and save live in the core;
// this window shows them and runs the commands.

#include <QWidget>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "editor/ProjectModel.h"
#include "ui/ProjectWindow.h"

namespace Ui {
class TProjectForm;
}
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;
namespace orbik::ui {
class WindowContext;
}
namespace orbik::compiler {
class TCreateForm;
}

namespace orbik::editor {

class ProjectHistory;

class TProjectForm : public QWidget, public ui::ProjectWindow {
    Q_OBJECT

  public:
    // Role of a tree node's image number (the icon shows it).
    static constexpr int kImageRole = Qt::UserRole + 1;

    TProjectForm(ui::WindowContext& context, std::string projectName, QWidget* parent = nullptr);
    ~TProjectForm() override;

    // Reads the project, telling its progress in the main window. A failure
    // is shown and false returned; the caller then closes the window.
    bool Load();

    const ProjectModel& Model() const { return model_; }
    ProjectModel& Model() { return model_; }
    std::filesystem::path ProjectDir() const { return projectDir_; }
    bool IsClean() const { return clean_; }
    bool ReadOnly() const { return !model_.hasExternalDisplay; }

    // What confirming and discarding the unconfirmed change of a page mean;
    // the pages plug in here. Confirming may save the project itself.
    struct PageHooks {
        std::function<void()> confirm;
        std::function<void()> discard;
    };
    void SetPageHooks(QWidget* page, PageHooks hooks);
    // A page's controls hold a change not yet confirmed.
    void MarkChanged();
    // A page dropped its change itself (Restore): nothing is pending.
    void MarkClean();
    // The pages that edit the project; each puts its contents into its tab.
    enum class Page { Tree, Configure, Device, DKeys };
    void AttachPage(Page page, QWidget* content);
    QWidget* PageTab(Page page) const;
    // The menu entry selected in the project tree, if any.
    std::optional<EntryRef> SelectedEntry() const;
    // The keyword selected in the keyword tree: its index in the model's list.
    std::optional<std::size_t> SelectedKeyword() const;
    // Called before anything changes the project's files (a save, a page's
    // own file work), so that the change can be taken back.
    void BeforeDiskChange();
    // The listing dialog, once there is one: enables Print.
    void SetPrintCommand(std::function<void()> print);

    // Save: every file of the model, then the project list's date.
    void SaveProject();
    // After a change of the model: the trees and the keyword gauge again.
    void Refresh();
    // After a change that leaves the menu tree as it is (a direct key): the
    // structure lists and the keyword gauge, keeping the tree's selection.
    void RefreshLists();
    void SetStructureShown(bool shown);
    bool StructureShown() const;
    // The signal-memory gauge.
    void SetBytesUsed(std::int64_t bytes);
    void ClearBytesUsed();

    // ui::ProjectWindow
    std::string ProjectName() const override { return projectName_; }
    bool DirectKeysShown() const override;
    void SetDirectKeysShown(bool shown) override;
    void CreateFile() override;
    void ShowCommandStates() override;
    // An unconfirmed change of a page is taken back first; then the saved
    // changes, one by one, and the model is read again.
    bool CanUndo() const override;
    bool CanRedo() const override;
    void Undo() override;
    void Redo() override;

  Q_SIGNALS:
    // The model was read (again); pages fill themselves from it.
    void ModelLoaded();
    // The selection of the project tree changed, after any pending change
    // was confirmed or dropped.
    void EntrySelected();
    // A keyword of the keyword tree was double-clicked.
    void KeywordActivated();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    // Creates the pages' contents.
    void CreatePages();
    void SetClean(bool clean);
    void ApplyTexts();
    void SetPageShown(QWidget* page, bool shown);
    void FillKeywords();
    void FillProjectTree();
    void FillStructureLists();
    void UpdateKeywordGauge();
    void Progress(const std::string& text);
    void ShowFailures(const QString& title, const QStringList& lines);
    // The pending change of the page shown: kept (Yes) or dropped (No).
    void ResolveChange(QWidget* page, const QString& question, bool saveAfterConfirm);
    void Discard(QWidget* page);
    void EmptyTempDevices();
    void CreateHistoryActions();
    void UpdateHistoryActions();
    // Undo or redo on disk, then the model again with the page, the
    // selection and the shown pages as they were.
    void StepHistory(bool undo);

    void PC_ConfigChanging(int index);
    void TV_ProjectChange(QTreeWidgetItem* current, QTreeWidgetItem* previous);
    void TB_ClosePrClick();

    std::unique_ptr<Ui::TProjectForm> ui_;
    ui::WindowContext& context_;
    std::string projectName_;
    std::filesystem::path projectDir_;
    ProjectModel model_;
    bool clean_ = true;
    bool loaded_ = false;
    bool resolving_ = false;  // a question is being answered: no second one
    QWidget* currentPage_ = nullptr;
    std::map<QWidget*, PageHooks> hooks_;
    std::function<void()> print_;
    std::unique_ptr<compiler::TCreateForm> createForm_;
    std::unique_ptr<ProjectHistory> history_;  // while the project is open
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    QLabel* panels_[4] = {};
};

}  // namespace orbik::editor
