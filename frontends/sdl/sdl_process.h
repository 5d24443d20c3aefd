#pragma once
// What SDL does in the launcher's process that must not outlive it or hide
// from a sanitizer.

// Every child process SDL starts (for a message box) is killed when the
// launcher ends. Call once SDL is in use; later calls do nothing.
void EndChildrenWithTheLauncher();

// Under a sanitizer, keeps every library loaded so far loaded until exit.
void KeepLibrariesLoaded();
