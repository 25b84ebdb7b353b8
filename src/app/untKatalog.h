#pragma once
// The folder chooser: a tree of the fixed drives and their folders, a box for
// the path and a button that creates a folder under the selected node.
//
// Paths are single-byte Windows-1250, as the system hands them over; folder
// paths carry no trailing backslash except drive roots ("C:\"). The tree's
// labels and the path box hold Windows-1250 whatever the interface language.

#include "ui/Bitmap.h"
#include "ui/Controls.h"
#include "ui/Form.h"
#include "ui/TreeView.h"

#include <cstdint>
#include <string>

class TfrmKatalog : public ui::Form {
public:
    TfrmKatalog();

    // Runs the chooser starting at `start`, under `tytul` (text 221 in Jezyk
    // when empty). Returns the path box's text when the user accepts, else
    // `start` unchanged. The path is not checked here.
    [[nodiscard]] std::string WybierzKatalog(const std::string& start, const std::string& tytul = {});
    // Dialog font and captions for an interface language; remembered in Jezyk.
    void UstawJezyk(std::uint8_t jezyk);

    // Event handlers.
    void FormShow();
    void trvKatalogChange();
    void btnUtworzClick();

    // Tree operations.
    // Root nodes for the fixed drives (and network drives when SiecDozwolona).
    void WczytajDyski();
    // The path of `wezel`: "C:\" for a root, "C:\a\b" below; "" for nullptr.
    [[nodiscard]] static std::string SciezkaWezla(const ui::TreeNode* wezel);
    // Whether the folder `sciezka` (with a trailing backslash) has a subfolder.
    [[nodiscard]] static bool MaPodkatalogi(const std::string& sciezka);
    // Adds the subfolders of `sciezka` (with a trailing backslash) under
    // `wezel`, in the file system's order; floppy roots are never read.
    void DodajPodkatalogi(ui::TreeNode& wezel, const std::string& sciezka);
    // Reads the selected node's subfolders unless it has child nodes already:
    // a node is read once per showing.
    void RozwinWezel();
    // Selects the existing nodes along the path in edtKatalog, leaving the
    // box's text as typed.
    void PrzejdzDoKatalogu();

    // Interface language last set; 0 until UstawJezyk.
    std::uint8_t Jezyk = 0;
    // True while the program fills or walks the tree, so that the selections
    // it makes are not taken for the user's.
    bool Zajety = false;

    // Images of the tree: 0 drive, 1 folder, 2 selected (open) folder. Declared
    // first because the tree refers to it.
    ui::ImageList imlKatalog;

    // ---- controls, in the order the form shows them ----
    ui::TreeView trvKatalog;
    ui::Edit edtKatalog;
    ui::Button btnUtworz;
    ui::Button btnOK;
    ui::Button btnAnuluj;

private:
    void FormCreate();
    // Reads `wezel`'s subfolders unless it has child nodes already.
    void WczytajWezel(ui::TreeNode& wezel);
};

// Created once at start and owned by the application; nullptr before and after.
extern TfrmKatalog* frmKatalog;
