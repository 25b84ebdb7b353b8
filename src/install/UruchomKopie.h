#pragma once
// Running a program from a temporary copy, so that its own file (on a CD or a
// network share) is not kept busy while it runs.

#include <string>
#include <string_view>

// Copies the file `program` (a full path, or a name in the current folder) as
// `nazwa` into a folder made for this run inside the working folder (a new
// name that cannot be guessed; made only where nothing holds it); starts the
// copy through the shell with the argument string `parametry`, the working
// folder as its current one, and starts a hidden batch that deletes the copy
// once the copy has ended, then itself and the run's folder. What a failed
// start made is removed again. The caller does not wait for either.
// Returns true when both were started. Never raises and never shows a message
// of its own; whatever the shell shows has no owner window.
// A program that already lies in the working folder is not copied onto
// itself: the result is then false.
bool UruchomKopie(std::string_view program, std::string_view nazwa, std::string_view parametry) noexcept;

// The working folder of UruchomKopie, with a trailing backslash: the
// temporary folder; when that is not determined, the Windows folder; else
// "C:\".
std::string KatalogRoboczyKopii();
