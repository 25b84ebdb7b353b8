#pragma once
// Driving the real wizard from another process, as a user (or a screen
// reader) would: windows are found by the name of their control, which every
// window of the program carries as the property "ui.name" (a global atom).

#include "../NazwyOkien.h"

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;

using pomocnicy::NazwaOkna;
using pomocnicy::ZnajdzKontrolke;

// The first visible top-level window of that name, of any process.
HWND ZnajdzOkno(const std::wstring& nazwa);

// Waits until `warunek` holds, checking every 50 ms; false on time-out.
bool Czekaj(const std::function<bool()>& warunek, std::chrono::milliseconds limit = 20s);
// Waits for a visible top-level window of that name.
HWND CzekajNaOkno(const std::wstring& nazwa, std::chrono::milliseconds limit = 20s);

std::wstring Tekst(HWND okno);
bool Dostepna(HWND okno);   // enabled
bool Widoczna(HWND okno);   // visible
bool Zaznaczona(HWND okno); // a check box, radio button or pushed-in speed button

// A click as the user gives it (BM_CLICK), sent without waiting, so that a
// modal dialog the click opens does not block the test.
// Runs `co` while the thread of `okno` is held, so that the messages it posts
// are all queued before the wizard takes the first: a run of the demo CD takes
// milliseconds, and a Cancel posted a moment late finds it over.
void Wstrzymany(HWND okno, const std::function<void()>& co);
void Kliknij(HWND okno);
// A key pressed and released while `okno` has the focus, posted as the
// keyboard would.
void Klawisz(HWND okno, WPARAM klawisz);

// Saves what the screen shows as a 24-bit .bmp file, once the windows have
// had a moment to paint.
void ZapiszEkran(const std::wstring& plik);

// A key pressed and released through the system's input queue, as the
// keyboard gives it (Shift held around it when asked): it reaches whatever
// window has the focus.
void Nacisnij(WORD klawisz, bool zShiftem = false);
// Types `tekst` key by key through the input queue.
void Pisz(const std::wstring& tekst);
// The window that has the keyboard focus in the thread of `okno`.
HWND Fokus(HWND okno);

// The path of a file beside the running test program.
std::wstring ObokProgramu(const std::wstring& nazwa);

}  // namespace e2e

namespace e2e {

// Starts a program and returns at once; `zmienne` ("NAME=value") are set in
// its environment on top of ours.
bool Uruchom(const std::wstring& wierszPolecen, const std::vector<std::wstring>& zmienne = {});
// Starts a program and waits until it ends; false when it did not start or
// did not end in time.
bool UruchomIZaczekaj(const std::wstring& wierszPolecen, std::chrono::milliseconds limit = 20s);

// Alt+F4 and the taskbar's "Close window" as they reach a window.
void ZamknijJakSystem(HWND okno);
// Asks a window whether the session may end, as a logoff does; 1 yes, 0 no,
// -1 no answer.
int PytanieOWylogowanie(HWND okno);
// Tells a window that the session ends now.
void KoniecSesji(HWND okno);

// Reads a whole file; empty when it cannot be read.
std::string Zawartosc(const std::wstring& sciezka);

// Deletes a folder tree (read-only entries included); true when it is gone.
bool UsunDrzewo(const std::wstring& katalog);

// Ends the processes that own the wizard's windows, if any are left.
void ZamknijKreator();

// The target folder the wizard proposes: the program-files folder of this
// (32-bit) view of the registry + "\VeltAng".
std::wstring DomyslnyCel();

// A folder of the Explorer's "Shell Folders" key; empty when there is none.
std::wstring FolderPowloki(HKEY korzen, const wchar_t* nazwa);
// Sets that value; false when it cannot.
bool UstawFolderPowloki(HKEY korzen, const wchar_t* nazwa, const std::wstring& folder);
// The machine's folder of the installation journals, in which the wizard's
// relaunched copy runs too.
std::wstring KatalogDziennikow();

// Starts the wizard from the CD in D:, answers the CD dialog and walks to
// the options page in Polish. Returns the wizard window, nullptr on failure.
HWND DoOpcji();
// The same from the CD dialog on, for a wizard started already.
HWND OdCD();

}  // namespace e2e
