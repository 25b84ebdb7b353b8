#pragma once
// The installation engine: runs the steps of a run as work items, each of
// which does its change and records it in the journal before making it, and
// undoes a run from its records, whether a confirmed cancel asks for it or
// the next start finds the journal of a run that died. It reaches the window
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
    // After this the user can no longer cancel.
    virtual void ZablokujPrzerwanie() = 0;
    // Answers a cancel request made since the last call; a confirmed one
    // undoes the run. True once the run must stop.
    virtual bool SprawdzPrzerwanie() = 0;
};

// One step of a run. `wykonaj` makes the changes and records each in the
// current journal before it makes it; the records undo themselves
// (CofnijWpis).
struct KrokInstalacji {
    const char* nazwa;  // for diagnostics only
    std::function<void()> wykonaj;
};

// Runs `kroki` in order with `d` as the current journal, putting the
// journal on the disk after each step. After every step but the last,
// `punktZatrzymania` is asked whether the run must stop; true ends the run
// there (false is returned). Exceptions of a step pass out.
bool WykonajKroki(Dziennik& d, std::span<const KrokInstalacji> kroki, const std::function<bool()>& punktZatrzymania);

// The one undo of a run: every record of `d`, newest first (folders last),
// shown on the window's gauge one record at a time. `katalogiSprzed` are
// folders the wizard made before the journal began (the target folder from
// the options page) that the journal does not hold; they go last. The journal
// is finished afterwards.
void WycofajInstalacje(OknoInstalacji& okno, Dziennik& d, const std::vector<std::string>& katalogiSprzed);

// The end of a run that was not undone: the run's changes stay, the backups
// of what it replaced go, and then the journal.
void ZakonczInstalacje(Dziennik& d);

// At start: a journal left by a run of `wydanie` that never ended. Nothing
// happens when there is none. Otherwise `cofnac` is asked (once, and only
// when the journal records a change): true undoes every recorded change,
// newest first; false keeps them and deletes the backups. Either way the
// journal goes. An undo cut short is finished at the next start, as every
// undo step may run twice. Returns whether there was a journal.
bool OdzyskajPrzerwanaInstalacje(const std::string& sciezkaDziennika, const std::function<bool()>& cofnac);
