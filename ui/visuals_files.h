// Where skins, colour schemes and the chrome's pictures are found, and the
// reading and writing of scheme files.
#ifndef ORLAVO_UI_VISUALS_FILES_H_
#define ORLAVO_UI_VISUALS_FILES_H_

#include <QString>
#include <QStringList>

#include "ui/color_scheme.h"

namespace orlavo {

class Settings;

// The Visuals folders searched, in order. The first is where new schemes are
// saved; a name found in an earlier folder hides the same name in a later one.
// Every lookup of skins, schemes and chrome pictures goes through this list.
// An installed program passes its data folder here; the Visuals/ that came
// with the program (see SetShippedVisualsFolder) follows the user's own.
QStringList VisualsFolders(const QString& program_folder);
// The read-only Visuals/ of an installed program, offered after the user's
// own folder; empty (the default) when the program folder is the data folder.
void SetShippedVisualsFolder(const QString& folder);

// The skin folder of a name (no trailing "/"): the first Visuals folder that
// has it, else where the first folder would hold it.
QString SkinFolder(const QString& program_folder, const QString& skin_name);
// The skin names (sub-folders of "Skins") of all Visuals folders, each once,
// in text order.
QStringList SkinNames(const QString& program_folder);

// The scheme names (".ovc" files of "Color Schemes" without the extension)
// of all Visuals folders, each once, in text order.
QStringList ColorSchemeNames(const QString& program_folder);
// The file of a scheme name: the first Visuals folder that has it, else
// where the first folder would hold it.
QString ColorSchemeFile(const QString& program_folder, const QString& name);
// "Color Schemes" of the first Visuals folder.
QString NewColorSchemeFolder(const QString& program_folder);

// A scheme file's four colours; a missing file or key, or an empty value,
// takes the key's default, and so does a value that is not a colour text.
ColorScheme ReadColorScheme(const QString& file);
// Writes the four keys of section "Settings". False when a key could not be
// written.
bool WriteColorScheme(const QString& file, const ColorScheme& scheme);
// The scheme named by the setting ColorScheme.
ColorScheme ReadSelectedColorScheme(const Settings& settings);

// A picture of the chrome ("Menu/Close.bmp", "Glyphs/Restore.bmp"): the
// first Visuals folder that has it, else "".
QString VisualsPicture(const QString& program_folder, const QString& relative_path);

}  // namespace orlavo

#endif  // ORLAVO_UI_VISUALS_FILES_H_
