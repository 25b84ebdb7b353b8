#pragma once
// The prompt for the name of a new folder, opened by the folder chooser.
// Closes with mrOk (btnDodaj, enabled only while a name is typed) or mrCancel.

#include "ui/Controls.h"
#include "ui/Form.h"

#include <cstdint>

class TfrmKatalogDodaj : public ui::Form {
public:
    TfrmKatalogDodaj();

    // Dialog font and captions for an interface language.
    void UstawJezyk(std::uint8_t jezyk);

    // Event handlers.
    void FormShow();
    void edtDodajChange();

    // ---- controls, in the order the form shows them ----
    // The name as typed, Windows-1250 whatever the interface language.
    ui::Edit edtDodaj;
    ui::Button btnDodaj;
    ui::Button btnAnuluj;
};

// Created once at start and owned by the application; nullptr before and after.
extern TfrmKatalogDodaj* frmKatalogDodaj;
