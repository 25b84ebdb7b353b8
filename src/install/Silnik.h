#pragma once
// The installation engine: runs the steps of a run as work items, each of
// which does its change and records it in the journal before making it, and
// undoes a run from its records, whether a confirmed cancel or an error asks
// for it or the next start finds the journal of a run that died. It reaches the window
// that shows the run only through OknoInstalacji.

#include "install/Dziennik.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

// What the engine needs of the window that shows a run.
class OknoInstalacji {
public:
    virtual ~OknoInstalacji() = default;
    // The line that says what is being done: a text id of the text table.
    virtual void PokazOpis(int tekst) = 0;
    // The current source and target lines; empty strings clear them.
    virtual void PokazPliki(const std::string& z, const std::string& doCelu) = 0;
    // The gauge from 0 to `maksimum`, at 0; one step on; at `pozycja`.
    virtual void UstawZakres(std::int32_t maksimum) = 0;
    virtual void Posun() = 0;
    virtual void UstawPozycje(std::int32_t pozycja) = 0;
    virtual void PrzetworzKomunikaty() = 0;
    // The labels and the gauge shown as they are now, also where the window
    // paces its painting, then pending messages processed.
    virtual void Odswiez() = 0;
    // A monotonic clock in milliseconds, by which busy work paces what it
    // shows.
    [[nodiscard]] virtual std::uint64_t Milisekundy() = 0;
    // After this the user can no longer cancel.
    virtual void ZablokujPrzerwanie() = 0;
    // Answers a cancel request made since the last call; a confirmed one
    // undoes the run. True once the run must stop.
    virtual bool SprawdzPrzerwanie() = 0;
};

// One step of a run. `wykonaj` makes its changes through the journal's do
// functions (install/Dziennik.h), which record each before making it and
// whose records undo themselves (WycofajWpisy).
struct KrokInstalacji {
    const char* nazwa;  // for diagnostics only
    std::function<void()> wykonaj;
};

// Runs `kroki` in order with `d` as the current journal, putting the
// journal on the disk after each step. After every step `punktZatrzymania`
// is asked whether the run must stop (a cancel asked for during the last
// step is answered at its end too); true ends the run there (false is
// returned). Exceptions of a step pass out.
bool WykonajKroki(Dziennik& d, std::span<const KrokInstalacji> kroki, const std::function<bool()>& punktZatrzymania);

// The one undo of a run, for a confirmed cancel and for an error alike:
// every record of `d` (WycofajWpisy), shown on the window's gauge one step at
// a time. `katalogiSprzed` are folders the wizard made before the journal
// began that it does not hold; they go last. The decision is recorded first,
// so that a run killed during the undo has it finished at the next start.
// Afterwards the journal is finished, or keeps the steps that failed for the
// next start: false then.
bool WycofajInstalacje(OknoInstalacji& okno, Dziennik& d, const std::vector<std::string>& katalogiSprzed);

// The end of a run that was not undone: the run's changes stay, the backups
// of what it replaced go, and then the journal.
void ZakonczInstalacje(Dziennik& d);

// What the user makes of a journal left by a run that never ended.
enum class DecyzjaOdzyskania {
    Cofnij,    // undo its changes
    Zachowaj,  // keep them
    Odloz,     // the question was dismissed: ask again at the next start
};

// At start: the journals left by runs that never ended, newest first. One
// whose undo was decided already (a cancel or an error, or an undo cut short)
// is finished without a question; for the others `zapytaj` is asked once,
// and only when one records a change. Steps that fail stay for the next
// start. Returns whether there was a journal.
bool OdzyskajPrzerwaneInstalacje(const std::function<DecyzjaOdzyskania()>& zapytaj);
