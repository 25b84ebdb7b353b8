// The tree copy of the installation run: files in blocks with the progress
// gauge, the answer to a cancel request, and the rollback of a confirmed one.

#include "install/Kopiowanie.h"

#include "base/Blad.h"
#include "base/Narzedzia.h"
#include "base/Sciezki.h"
#include "install/Dziennik.h"
#include "install/Silnik.h"
#include "install/Postep.h"
#include "install/Protokol.h"
#include "sys/drives.h"
#include "sys/files.h"
#include "sys/result.h"

#include <array>
#include <string>

namespace {

// What failed: the run's guard writes it to the log; the user never sees it.
std::string Opis(std::string_view co, std::string_view sciezka, std::uint32_t kod) {
    if (kod != 0) Protokoluj("Error: ", co, " ", sciezka, ": ", BladSystemu{kod});
    else Protokoluj("Error: ", co, " ", sciezka);
    return "Copy: " + std::string(co) + " \"" + std::string(sciezka) + "\" (error " + std::to_string(kod) + ")";
}

// What the window shows of a copy. Labels set, a gauge moved and messages
// processed for every file cost a copy of small files a tenth of its time,
// so the window is shown at most once an interval of its clock: the file
// being copied at that moment and the progress, followed by a round of
// messages (never inside a file) in which a Cancel arrives. The end shows the
// last file and the whole progress, whenever the last showing was.
class PokazKopii {
public:
    PokazKopii(OknoInstalacji& okno, const std::int64_t& postep) noexcept : okno_(okno), postep_(postep) {}

    OknoInstalacji& Okno() const noexcept { return okno_; }

    // A file starts.
    void Plik(const std::string& z, const std::string& doCelu) {
        z_ = z;
        doCelu_ = doCelu;
        plikPokazany_ = false;
        if (Pora()) PokazIPrzetworz();
    }
    // A block of the file is written: the gauge moves when it is time, and
    // the messages wait for the end of the file.
    void Blok() {
        if (!Pora()) return;
        Pokaz();
        rundaZalegla_ = true;
    }
    // An entry of the tree is done.
    void Wpis() {
        if (Pora() || rundaZalegla_) PokazIPrzetworz();
    }
    void Koniec() {
        Pokaz();
        okno_.Odswiez();
    }

private:
    bool Pora() {
        const std::uint64_t teraz = okno_.Milisekundy();
        if (pokazana_ && teraz - ostatnio_ < kOdstepPokazu) return false;
        pokazana_ = true;
        ostatnio_ = teraz;
        return true;
    }
    void Pokaz() {
        if (!plikPokazany_) {
            okno_.PokazPliki(z_, doCelu_);
            plikPokazany_ = true;
        }
        okno_.UstawPozycje(Mlodsze32Bity(postep_));
    }
    void PokazIPrzetworz() {
        Pokaz();
        okno_.PrzetworzKomunikaty();
        rundaZalegla_ = false;
    }

    OknoInstalacji& okno_;
    const std::int64_t& postep_;
    std::string z_, doCelu_;     // the file being copied
    bool plikPokazany_ = true;   // its names are on the window
    bool pokazana_ = false;      // since the start, at `ostatnio_`
    std::uint64_t ostatnio_ = 0;
    bool rundaZalegla_ = false;  // shown inside a file: messages follow at its end
};

void KopiujPlik(StanKopiowania& stan, PokazKopii& pokaz, const std::string& zrodlo, const std::string& cel);

// KopiujKatalog at one level; true when a confirmed cancel stopped it.
bool KopiujPoziom(StanKopiowania& stan, PokazKopii& pokaz, const std::string& zrodlo, const std::string& cel,
                  const std::string& pomijane) {
    auto wpisy = sys::DirectoryEnumeration::Open(DolaczDoKatalogu(zrodlo, "*"));
    if (!wpisy) {
        if (BladOtwarciaKatalogu(wpisy.error(), sys::FolderExists(zrodlo)))
            throw BladProgramu(Opis("cannot list", zrodlo, wpisy.error()));
        return false;
    }
    while (const auto wpis = wpisy.Next()) {
        // "." and ".." would send the walk round in circles, whatever the list
        // holds.
        if (wpis->name == "." || wpis->name == ".." || JestNaLiscie(wpis->name, pomijane)) continue;
        const std::string doCelu = DolaczDoKatalogu(cel, wpis->name);
        if (wpis->IsFolder()) {
            if (const sys::Result r = UtworzKatalog(&stan.dziennik, doCelu)) {
                Protokoluj("Folder created: ", doCelu);
                // The listing's 32-bit size field, sign-extended.
                stan.postep += Mlodsze32Bity(wpis->size);
                stan.utworzoneKatalogi.push_back(doCelu);
            } else if (!sys::FolderExists(doCelu)) {
                // Its subtree would be missing without a word.
                throw BladProgramu(Opis("cannot create folder", doCelu, r.error));
            }
            // A link on the medium may point back at its own parent.
            // Cancelled below: the rollback has set the gauge and emptied the
            // lists; this level only leaves.
            if (!wpis->IsReparsePoint() &&
                KopiujPoziom(stan, pokaz, DolaczDoKatalogu(zrodlo, wpis->name), doCelu, pomijane))
                return true;
        } else {
            const std::string zeZrodla = DolaczDoKatalogu(zrodlo, wpis->name);
            KopiujPlik(stan, pokaz, zeZrodla, doCelu);
            Protokoluj("File copied: ", zeZrodla, " -> ", doCelu, " (", wpis->size, " bytes)");
            stan.skopiowanePliki.push_back(doCelu);
        }
        pokaz.Wpis();
        // Only messages set the request, and asking for it costs nothing.
        if (pokaz.Okno().SprawdzPrzerwanie()) return true;
    }
    // Installing less without a word is worse than stopping.
    if (wpisy.error() != 0) throw BladProgramu(Opis("listing broke off in", zrodlo, wpisy.error()));
    return false;
}

}  // namespace

bool BladOtwarciaKatalogu(std::uint32_t kodBledu, bool katalogIstnieje) noexcept {
    // A drive root has no "." entry, so an empty one matches nothing.
    if (katalogIstnieje) return kodBledu != ERROR_FILE_NOT_FOUND && kodBledu != ERROR_NO_MORE_FILES;
    return true;
}

void KopiujKatalog(StanKopiowania& stan, OknoInstalacji& okno, const std::string& zrodlo, const std::string& cel,
                   const std::string& pomijane) {
    // A drive without its disc fails here instead of asking to insert one.
    sys::NoCriticalErrorBox bezPytaniaODysk;
    PokazKopii pokaz(okno, stan.postep);
    // A confirmed cancel leaves the window to the undo.
    if (!KopiujPoziom(stan, pokaz, zrodlo, cel, pomijane)) pokaz.Koniec();
}

void KopiujPlik(StanKopiowania& stan, OknoInstalacji& okno, const std::string& zrodlo, const std::string& cel) {
    PokazKopii pokaz(okno, stan.postep);
    KopiujPlik(stan, pokaz, zrodlo, cel);
    pokaz.Koniec();
}

namespace {

void KopiujPlik(StanKopiowania& stan, PokazKopii& pokaz, const std::string& zrodlo, const std::string& cel) {
    pokaz.Plik(zrodlo, cel);

    // The source first: a source that cannot be read leaves the target as it
    // was.
    sys::File wejscie = sys::File::OpenRead(zrodlo);
    if (!wejscie) throw BladProgramu(Opis("cannot open", zrodlo, wejscie.error()));
    // A fresh name costs one look-up, as a plain copy would, and is written
    // in place. A taken one is written beside it and then takes its place,
    // so that the file there stays whole until its successor is.
    Dziennik* const d = &stan.dziennik;
    std::string tymczasowy;
    // UtworzPlik looks the name up itself; a second look here would cost
    // more than the journal's record.
    sys::File wyjscie = UtworzPlik(d, cel);
    if (!wyjscie) {
        if (const auto a = sys::Attributes(cel)) {
            if (*a & FILE_ATTRIBUTE_DIRECTORY) throw BladProgramu(Opis("a folder stands in the place of", cel, 0));
            if (*a & FILE_ATTRIBUTE_READONLY) throw BladProgramu(Opis("read-only target", cel, ERROR_ACCESS_DENIED));
        }
        PlikTymczasowy t = UtworzTymczasowy(d, cel);
        if (!t.plik) throw BladProgramu(Opis("cannot create", t.sciezka, t.plik.error()));
        tymczasowy = std::move(t.sciezka);
        wyjscie = std::move(t.plik);
    }
    const std::string& pisany = tymczasowy.empty() ? cel : tymczasowy;

    // One UI thread, and no message is processed inside the loop, so nothing
    // can enter here twice.
    static std::array<unsigned char, kBlokKopiowania> bufor;
    const char* blad = nullptr;
    const std::string* gdzie = &pisany;
    std::uint32_t kod = 0;
    for (;;) {
        const sys::Transfer odczyt = wejscie.Read(bufor.data(), bufor.size());
        if (odczyt.error != 0) {
            blad = "cannot read";
            gdzie = &zrodlo;
            kod = odczyt.error;
            break;
        }
        if (odczyt.bytes == 0) break;
        const sys::Transfer zapis = wyjscie.Write(bufor.data(), odczyt.bytes);
        if (zapis.error != 0) {
            blad = "cannot write";
            kod = zapis.error;
            break;
        }
        stan.postep += static_cast<std::int64_t>(zapis.bytes);
        pokaz.Blok();
    }
    sys::Ignore(wejscie.Close(), "nothing was written through it");
    // A new file written whole is recorded as it is left (ZamknijPlik).
    const bool caly = blad == nullptr && tymczasowy.empty();
    if (const sys::Result r = caly ? ZamknijPlik(d, wyjscie, cel) : wyjscie.Close(); !r && blad == nullptr) {
        blad = "cannot finish";
        kod = r.error;
    }
    if (blad == nullptr && !tymczasowy.empty()) {
        if (const sys::Result r = Wstaw(d, tymczasowy, cel); !r) {
            blad = "cannot replace";
            gdzie = &cel;
            kod = r.error;
        }
    }
    if (blad != nullptr) {
        // Half a file is no one's: it goes now, and what it was to replace
        // never moved.
        sys::Ignore(sys::RemoveFile(pisany), "the undo removes it otherwise");
        throw BladProgramu(Opis(blad, *gdzie, kod));
    }
}

}  // namespace
