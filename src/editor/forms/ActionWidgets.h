#pragma once
// What the Configure and DKeys pages share: the radio groups, the button
// and time lists, and the action list that marks lines the build refuses.

#include <QString>
#include <QStringList>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class QAbstractButton;
class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;
class QWidget;

namespace orbik::ui {
class UiTexts;
class WindowContext;
}  // namespace orbik::ui

namespace orbik::editor {

// A group box of radio buttons named `name` + index, captions from the
// text table (`keyPrefix` + that name) with the given defaults. The box's
// layout is a QHBoxLayout whose first column holds the radios.
struct RadioGroup {
    QGroupBox* box = nullptr;
    QButtonGroup* buttons = nullptr;
    // The chosen item, nothing when none is.
    std::optional<int> Chosen() const;
    void ChooseNone();
};
RadioGroup MakeRadioGroup(QWidget* parent, const char* name, const QString& title,
                          const std::vector<const char*>& items, const ui::UiTexts& text,
                          const char* keyPrefix = "PF_");

// A combo box of the 51 button names, of the action times, of names.
QComboBox* MakeButtonsBox(QWidget* parent, const char* name);
QComboBox* MakeTimesBox(QWidget* parent, const char* name, const QString& hint);

// The up and down arrows that move the selected line of an action list,
// named `name` + "Up" and `name` + "Down" in a column named `name`.
struct SpinButton {
    QWidget* column = nullptr;
    QToolButton* up = nullptr;
    QToolButton* down = nullptr;
};
SpinButton MakeSpinButton(QWidget* parent, const char* name);

// A small push button with its caption and hint from the text table.
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& hint = {});

// The Find Name fields: a name of at most 24 characters without ","
// (it would shift every later argument), a number of at most 20 digits.
void ConfigureFindNameFields(QLineEdit& name, QLineEdit& number, const ui::UiTexts& text);

// Fills `list` with `lines`, each line the build would refuse marked with
// a warning icon and the build's message as its tooltip, and selects
// `selected` when it is a line.
void ShowActionLines(QListWidget& list, const std::vector<std::string>& lines,
                     std::optional<std::size_t> selected);
// The selected line of `list`, if any.
std::optional<std::size_t> SelectedLine(const QListWidget& list);

// The RF folder of the settings; the writer's folder when none is set.
std::filesystem::path RfFolder(const ui::WindowContext& context);

// The lines the RF file dialog and the parallel output dialog make (none
// when the user made none).
std::vector<std::string> RadioSignalLines(ui::WindowContext& context, QWidget* parent);
std::vector<std::string> ParallelOutputLines(ui::WindowContext& context, QWidget* parent);

// The selected text of a combo box as core bytes; empty when none.
std::string ComboText(const QComboBox& box);

}  // namespace orbik::editor
