#pragma once
// Running a program from a temporary copy, so that its own file (on a CD or a
// network share) is not kept busy while it runs.

#include <string>
#include <string_view>

namespace sys {
class File;
}

// Copies the file `program` (a full path, or a name in the current folder) as
// `nazwa` into a folder made for this run inside the working folder (a new
// name that cannot be guessed, made for administrators alone, so that no one
// else can swap or add anything before the elevated copy runs); starts the
// copy with the argument string `parametry`, shown normally, the working
// folder as its current one, inheriting `dziedziczony` (when not null: its
// handle has the same number in the copy) and no other handle; and starts a
// hidden batch that deletes the copy once the copy has ended, then itself and
// the run's folder. What a failed start made is removed again. The caller
// does not wait for either. Returns true when both were started; false also
// when the working folder is not one that only administrators may change
// (it is made for them when missing). Never raises and never shows a
// message of its own.
// A program that already lies in the working folder, or in a run's folder
// there, is not copied onto itself: the result is then false.
bool UruchomKopie(std::string_view program, std::string_view nazwa, std::string_view parametry,
                  const sys::File* dziedziczony = nullptr) noexcept;

// The working folder of UruchomKopie, with a trailing backslash: the folder of
// the installation journals (KatalogDziennikow), which only administrators
// may change, never the user's temporary folder; empty when the system names
// none.
std::string KatalogRoboczyKopii();
