#include "editor/forms/ActionWidgets.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "editor/ActionLines.h"
#include "editor/forms/TParallelForm.h"
#include "editor/forms/TRFFilesForm.h"
#include "platform/FileSystem.h"
#include "project/BuiltinTables.h"
#include "ui/Dialogs.h"
#include "ui/UiText.h"
#include "ui/WindowContext.h"

namespace orbik::editor {

std::optional<int> RadioGroup::Chosen() const {
    int id = buttons->checkedId();
    if (id < 0) return std::nullopt;
    return id;
}

void RadioGroup::ChooseNone() {
    // An exclusive group keeps one button checked; clearing needs it off.
    buttons->setExclusive(false);
    for (QAbstractButton* button : buttons->buttons()) button->setChecked(false);
    buttons->setExclusive(true);
}

RadioGroup MakeRadioGroup(QWidget* parent, const char* name, const QString& title,
                          const std::vector<const char*>& items, const ui::UiTexts& text,
                          const char* keyPrefix) {
    RadioGroup group;
    group.box = new QGroupBox(title, parent);
    group.box->setObjectName(name);
    group.buttons = new QButtonGroup(group.box);
    // Radios in the first column; callers add their inputs beside them.
    auto* row = new QHBoxLayout(group.box);
    auto* layout = new QVBoxLayout;
    row->addLayout(layout);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string key = std::string(name) + std::to_string(i);
        auto* radio = new QRadioButton(text(keyPrefix + key, items[i]), group.box);
        radio->setObjectName(QLatin1String(key.c_str()));
        group.buttons->addButton(radio, static_cast<int>(i));
        layout->addWidget(radio);
    }
    layout->addStretch();
    return group;
}

QComboBox* MakeButtonsBox(QWidget* parent, const char* name) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    for (auto button : project::kButtonNames) box->addItem(ui::FromCp1252(button));
    return box;
}

QComboBox* MakeTimesBox(QWidget* parent, const char* name, const QString& hint) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    for (auto ms : kActionTimes) box->addItem(ui::FromCp1252(ms));
    box->setToolTip(hint);
    return box;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& hint) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    if (!hint.isEmpty()) button->setToolTip(hint);
    return button;
}

void ConfigureFindNameFields(QLineEdit& name, QLineEdit& number, const ui::UiTexts& text) {
    name.setMaxLength(static_cast<int>(kFindNameLength));
    name.setValidator(
        new QRegularExpressionValidator(QRegularExpression("[^,\\x00-\\x1f]*"), &name));
    name.setPlaceholderText(text("PF_E_bt_find", "Tel Name"));
    name.setToolTip(name.placeholderText());
    number.setValidator(
        new QRegularExpressionValidator(QRegularExpression(" *[0-9]{0,20} *"), &number));
    number.setPlaceholderText(text("PF_E_bt_send", "Tel Number"));
    number.setToolTip(number.placeholderText());
}

void ShowActionLines(QListWidget& list, const std::vector<std::string>& lines,
                     std::optional<std::size_t> selected) {
    const QIcon warning = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
    list.clear();
    for (const std::string& line : lines) {
        auto* item = new QListWidgetItem(ui::FromCp1252(line), &list);
        // The build stays the judge; the mark only shows what it will say.
        if (auto problem = ActionLineProblem(line)) {
            item->setIcon(warning);
            item->setToolTip(ui::FromCp1252(*problem));
        }
    }
    if (selected && *selected < lines.size()) list.setCurrentRow(static_cast<int>(*selected));
}

std::optional<std::size_t> SelectedLine(const QListWidget& list) {
    const int row = list.currentRow();
    if (row < 0 || !list.currentItem() || !list.currentItem()->isSelected()) return std::nullopt;
    return static_cast<std::size_t>(row);
}

SpinButton MakeSpinButton(QWidget* parent, const char* name) {
    SpinButton spin;
    spin.column = new QWidget(parent);
    spin.column->setObjectName(name);
    auto* layout = new QVBoxLayout(spin.column);
    layout->setContentsMargins(0, 0, 0, 0);
    spin.up = new QToolButton(spin.column);
    spin.up->setObjectName(QString(name) + "Up");
    spin.up->setArrowType(Qt::UpArrow);
    spin.down = new QToolButton(spin.column);
    spin.down->setObjectName(QString(name) + "Down");
    spin.down->setArrowType(Qt::DownArrow);
    layout->addWidget(spin.up);
    layout->addWidget(spin.down);
    layout->addStretch();
    return spin;
}

std::filesystem::path RfFolder(const ui::WindowContext& context) {
    if (context.settings.rfDbs.empty()) return context.ProgramDir() / "RFFiles";
    return platform::JoinSetting(context.ProgramDir(), context.settings.rfDbs);
}

std::vector<std::string> RadioSignalLines(ui::WindowContext& context, QWidget* parent) {
    TRFFilesForm dialog(context, RfFolder(context), parent);
    auto result = ui::RunModalForm(context.dialogs, dialog);
    return result ? result->lines : std::vector<std::string>{};
}

std::vector<std::string> ParallelOutputLines(ui::WindowContext& context, QWidget* parent) {
    TParallelForm dialog(context, parent);
    auto result = ui::RunModalForm(context.dialogs, dialog);
    return result ? result->lines : std::vector<std::string>{};
}

std::string ComboText(const QComboBox& box) {
    if (box.currentIndex() < 0) return {};
    return ui::ToCp1252(box.currentText());
}

}  // namespace orbik::editor
