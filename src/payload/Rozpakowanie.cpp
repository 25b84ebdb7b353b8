// The installation steps that turn the wizard's packed resources into files:
// the main program, and the update items of the edition's list.

#include "payload/Rozpakowanie.h"
#include "install/Protokol.h"

#include "app/Blad.h"
#include "app/Formatuj.h"
#include "app/Sciezki.h"
#include "app/Teksty.h"
#include "app/untMain.h"
#include "install/Dziennik.h"
#include "install/Kopiowanie.h"
#include "payload/Dekompresja.h"
#include "payload/untCompress.h"
#include "setup/Wydania.h"
#include "sys/files.h"
#include "sys/result.h"
#include "sys/resources.h"
#include "ui/Application.h"

bool DodatkiWydania1 = false;
bool DodatkiWydania4 = false;
bool DodatkiWydania6 = false;

namespace {

void PrzetworzKomunikaty() { ui::Application::Current().ProcessMessages(); }

// What failed: the run's guard writes it to the log; the user never sees it.
std::string Opis(std::string_view co, std::string_view gdzie, std::uint32_t kod = 0) {
    std::string opis = "Unpack: " + std::string(co) + " \"" + std::string(gdzie) + "\"";
    if (kod != 0) opis += " (error " + std::to_string(kod) + ")";
    return opis;
}

// Appends `dane`; the Win32 error that stopped it, 0 when all went in.
std::uint32_t Dopisz(sys::File& plik, const std::vector<std::uint8_t>& dane) {
    if (dane.empty()) return 0;
    const sys::Transfer t = plik.Write(dane.data(), dane.size());
    if (t.error != 0) return t.error;
    return t.bytes == dane.size() ? 0 : ERROR_WRITE_FAULT;
}

bool PrzelacznikDodatkow(std::int32_t wydanie) {
    switch (wydanie) {
    case 1: return DodatkiWydania1;
    case 4: return DodatkiWydania4;
    case 6: return DodatkiWydania6;
    default: return false;
    }
}

}  // namespace

void ZlozProgram(const ZasobyProgramu& zasoby, std::int32_t wydanie, const std::string& sciezka,
                 std::vector<std::string>& zapisane) {
    if (zasoby[0].empty()) throw BladProgramu(Opis("no packed program for edition", std::to_string(wydanie)));
    sys::File plik = sys::File::Create(sciezka);
    if (!plik) throw BladProgramu(Opis("cannot create", sciezka, plik.error()));
    zapisane.push_back(sciezka);

    for (int czesc = 0; czesc < LiczbaCzesciProgramu; ++czesc) {
        const std::string_view zasob = zasoby[static_cast<std::size_t>(czesc)];
        if (zasob.empty()) continue;
        const auto blok = sys::OwnResource(zasob);
        if (!blok) throw BladProgramu(Opis("no resource", zasob));
        std::vector<std::uint8_t> dane;
        try {
            dane = CzescTylkoPierwszymEtapem(wydanie, czesc) ? HuffmanDecode(*blok)
                                                             : RozpakujBlok(*blok, PojemnoscCzesciProgramu);
        } catch (const BladProgramu& b) {
            throw BladProgramu(Opis("damaged resource", zasob) + ": " + b.komunikat());
        }
        if (const std::uint32_t kod = Dopisz(plik, dane); kod != 0) throw BladProgramu(Opis("cannot write", sciezka, kod));
    }
    if (const sys::Result r = plik.Close(); !r) throw BladProgramu(Opis("cannot close", sciezka, r.error));
}

bool UnpackResourceToFile(std::string_view zasob, sys::File& plik) {
    const auto blok = sys::OwnResource(zasob);
    if (!blok) return false;
    std::vector<std::uint8_t> dane;
    try {
        dane = RozpakujBlok(*blok, PojemnoscDodatku);
    } catch (const BladProgramu&) {
        return false;
    }
    return Dopisz(plik, dane) == 0;
}

bool UnpackItemToFile(const TDodatek& dodatek, const std::string& sciezka, std::vector<std::string>& zapisane) {
    const std::array<std::string_view, 2> zasoby = {dodatek.Zasob1, dodatek.Zasob2};
    // An item that cannot be complete does not replace what is there.
    for (const std::string_view zasob : zasoby)
        if (!zasob.empty() && !sys::OwnResource(zasob)) return false;

    sys::File plik = sys::File::Create(sciezka);
    if (!plik) throw BladProgramu(Opis("cannot create", sciezka, plik.error()));
    zapisane.push_back(sciezka);
    bool kompletny = true;
    for (const std::string_view zasob : zasoby) {
        if (zasob.empty()) continue;
        // A later part after a failed one would only make the file look whole.
        if (!UnpackResourceToFile(zasob, plik)) {
            kompletny = false;
            break;
        }
    }
    if (const sys::Result r = plik.Close(); !r) throw BladProgramu(Opis("cannot close", sciezka, r.error));
    return kompletny;
}

bool ExtractFromZip(std::span<const std::uint8_t> archiwum, std::string_view nazwa, const std::string& sciezka,
                    std::vector<std::string>& zapisane) {
    TKAZip& zip = dmCompress.KAZip;
    zip.Close();
    zip.OverwriteAction = oaOverwrite;
    zip.Open(archiwum);
    const bool istnial = sys::EntryExists(sciezka);
    bool wynik = false;
    try {
        zip.Extract(nazwa, sciezka);
        wynik = true;
    } catch (const BladProgramu&) {
        // The item is not installed; the run goes on.
    }
    zip.Close();
    if (!istnial && sys::FileExists(sciezka)) zapisane.push_back(sciezka);
    return wynik;
}

bool ExtractItemFromZip(const TDodatek& dodatek, const std::string& sciezka, std::vector<std::string>& zapisane) {
    const auto archiwum = sys::OwnResource(dodatek.Zasob1);
    if (!archiwum) throw BladProgramu(Opis("no archive resource", dodatek.Zasob1));
    return ExtractFromZip(*archiwum, dodatek.Plik, sciezka, zapisane);
}

bool InstallItem(const TDodatek& dodatek, const std::string& sciezka, std::vector<std::string>& zapisane) {
    switch (dodatek.Rodzaj) {
    case DodatekSpakowany: return UnpackItemToFile(dodatek, sciezka, zapisane);
    case DodatekZArchiwum: return ExtractItemFromZip(dodatek, sciezka, zapisane);
    default: return false;
    }
}

bool InstallItem(std::int32_t numer, const std::string& sciezka, std::vector<std::string>& zapisane) {
    const TDodatek* dodatek = Dodatek(numer);
    return dodatek && InstallItem(*dodatek, sciezka, zapisane);
}

void TfrmMain::RozpakujProgram() {
    const std::string cel = DolaczDoKatalogu(KatalogDocelowy, WpisWydania(ProgramyGlowne, NumerWydania));
    lblPlikZ.SetCaption(Formatuj(PobierzTekst(JezykInterfejsu, TekstPlikZ), KatalogZrodlowy));
    lblPlikDo.SetCaption(Formatuj(PobierzTekst(JezykInterfejsu, TekstPlikDo), cel));
    PrzetworzKomunikaty();

    // A main program already there (a reinstallation) is kept aside, so that
    // a cancellation brings it back and a failed unpacking never leaves a
    // half-written one in its place.
    if (!sys::EntryExists(cel)) DziennikInstalacji.Zapisz(RodzajWpisu::Plik, {cel});
    StanKopiowania stan = StanKopiowaniaKreatora(*this);
    ZachowajPoprzedni(stan, cel);
    try {
        ZlozProgram({WpisWydania(ZasobyA, NumerWydania), WpisWydania(ZasobyB, NumerWydania),
                     WpisWydania(ZasobyC, NumerWydania)},
                    NumerWydania, cel, SkopiowanePliki);
    } catch (...) {
        PrzywrocPoprzedni(stan, cel);
        throw;
    }
    {
        const sys::File zapisany = sys::File::OpenRead(cel);
        Protokoluj("Main program unpacked: ", cel, " (", zapisany ? zapisany.Size().value_or(-1) : -1, " bytes)");
    }
    PrzetworzKomunikaty();

    // A cancel pressed while the program was written is answered now.
    if (!Przerwano) sys::Ignore(SprawdzPrzerwanie(), "the run's next stop point reads Przerwano");
}

void TfrmMain::RozpakujDodatki() {
    if (!PrzelacznikDodatkow(NumerWydania)) return;
    for (const std::int32_t numer : ListaDodatkow(NumerWydania, AktualnyAppConst.Variant)) {
        const TDodatek* dodatek = Dodatek(numer);
        if (!dodatek) continue;
        // Only a new file is recorded: an item replaces what is there only
        // once it is complete, and is not put back by an undo.
        PrzedUtworzeniemPliku(DolaczDoKatalogu(KatalogDocelowy, dodatek->Plik));
        sys::Ignore(InstallItem(*dodatek, DolaczDoKatalogu(KatalogDocelowy, dodatek->Plik), SkopiowanePliki),
                    "an update item is an extra; the run is complete without it");
    }
}
