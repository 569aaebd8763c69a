// The pictures of the toolbar's image list (`imlToolbarIcons`) by key, and the
// application's icon, from the resources built into the program.
#pragma once

#include <QIcon>
#include <string>

namespace tarvel {

// Makes the built-in resources available; call once before any icon is used.
void initEditorResources();

// The picture of an image-list key ("New", "Lock", "SelectMode", ...); a null
// icon for an unknown key.
QIcon toolbarIcon(const std::string& imageKey);
QIcon applicationIcon();

}  // namespace tarvel
