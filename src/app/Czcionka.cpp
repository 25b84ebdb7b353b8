#include "app/Czcionka.h"

#include "base/Jezyki.h"
#include "base/Teksty.h"
#include "ui/Control.h"
#include "ui/RichEdit.h"

namespace {
std::string& Czcionka() {
    static std::string nazwa = "Arial";
    return nazwa;
}
}  // namespace

const std::string& CzcionkaInterfejsu() { return Czcionka(); }

void UstawCzcionkeInterfejsu(std::string nazwa) { Czcionka() = std::move(nazwa); }

void UstawCzcionke(ui::Control& kontrolka, std::uint8_t jezyk) {
    ui::Font font = kontrolka.Font();
    font.Name = CzcionkaInterfejsu();
    font.Charset = DaneJezyka(jezyk).ZestawZnakow;
    kontrolka.SetFont(font);
}

void UstawCzcionkeTekstu(ui::RichEdit& pole, std::uint8_t jezyk) {
    UstawCzcionke(pole, jezyk);
    const ui::TextAttributes atrybuty{CzcionkaInterfejsu(), DaneJezyka(jezyk).ZestawZnakow};
    pole.SetDefAttributes(atrybuty);
    pole.SetSelAttributes(atrybuty);
}

void UstawNazweDostepna(ui::Control& kontrolka, std::uint8_t jezyk, int tekst) {
    kontrolka.SetAccessibleName(PobierzTekst(jezyk, tekst), static_cast<unsigned>(StronaKodowaTekstu(jezyk)));
}
