// The services update: while the module is unloaded, its new files are
// moved from "Update\" into its folder, with "Backup\" to roll back to.
#pragma once

// Shuts the module down, puts the update in place, restarts it and puts it
// back into the menu session. False when no start succeeded: the module is
// then broken for the rest of the run and the user has been told.
bool ApplyPendingUpdate();

// Restarts the module after moving the update into place, rolling back to
// the backup when the move or the first start fails; true when it runs.
bool ApplyServicesUpdate();

// Moves every file (not sub-folder) of source into destination, replacing
// namesakes, read-only ones too; both end with a separator. A file that
// cannot be moved leaves its namesake in place; true when all were moved.
bool MoveFolderFiles(const char* destination, const char* source);

// Removes the folder with everything in it; a linked folder inside loses
// only its link, never what it points to. Returns whether the folder went.
bool DeleteFolderTree(const char* folder);

// Deletes a file of the services folder; true when it went.
bool DeleteServicesFile(const char* name);

// Deletes a file even when it is read-only, hidden or system.
bool ForceDeleteFile(const char* path);

void ShowCorruptedMessage();
