// Colouring a window and its controls with a colour scheme.
#ifndef ORLAVO_UI_APPLY_COLOR_SCHEME_H_
#define ORLAVO_UI_APPLY_COLOR_SCHEME_H_

class QMenu;
class QWidget;

namespace orlavo {

class ColorScheme;

// The window's background and text, then every control whose tag is not
// "ignore": frames, labels, check boxes and option buttons take the
// background and text colours, skinned buttons the face and border colours.
// Lists, text boxes and pictures keep theirs. A window with skinned chrome
// repaints its skin.
void ApplyColorScheme(QWidget* window, const ColorScheme& scheme);
// The same with the scheme in force.
void ApplyColorScheme(QWidget* window);
// Every open window of the program, after a new scheme was loaded.
void ApplyColorSchemeEverywhere();

// A popup menu in the scheme's look: its background and text colours, the
// selected item in the text colour on the background's shade.
void ApplyMenuLook(QMenu* menu, const ColorScheme& scheme);
void ApplyMenuLook(QMenu* menu);

}  // namespace orlavo

#endif  // ORLAVO_UI_APPLY_COLOR_SCHEME_H_
