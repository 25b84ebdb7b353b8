#pragma once
// The one modal message and question dialog of the program.

#include "ui/Controls.h"
#include "ui/Form.h"

#include <cstdint>
#include <string>

// Dialog kinds.
enum RodzajPytania : std::uint8_t {
    PytanieOK = 0,          // one button, "OK"
    PytanieTakNie = 1,      // yes and no
    PytanieOKAnuluj = 2,    // "OK" and the cancel caption; the second still answers no
    PytanieTakNieAnuluj = 3,
    // Yes and no, where Esc and closing the dialog answer neither (2): the
    // question is put off rather than answered.
    PytanieTakNieOdloz = 4,
};

class TfrmPytanie : public ui::Form {
public:
    TfrmPytanie();

    // Dialog font and captions for an interface language.
    void UstawJezyk(std::uint8_t jezyk);

    ui::Label lblPytanie;
    ui::Button btnTak;
    ui::Button btnNie;
    ui::Button btnAnuluj;
};

// Lays the dialog out around `tekst` (shown as given), centres it over
// `wlasciciel`, shows it modally and returns the modal result: 6 for the first
// button (also when it reads "OK"), 7 for the second, 2 for the third.
[[nodiscard]] int Zapytaj(TfrmPytanie& okno, const ui::Form& wlasciciel, const std::string& tekst, std::uint8_t rodzaj);
