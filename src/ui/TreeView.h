#pragma once
// A tree of labelled nodes with images from an image list. Nodes belong to
// their tree; pointers to them stay valid until the node (or an ancestor) is
// deleted or the tree cleared. Paths and other meanings of nodes are the
// caller's business.
//
// Events: OnChange after the selection changed, by the user or by the program
// (removing nodes clears the selection silently); OnExpanding before a node
// opens (its handler may add children or refuse), OnExpanded after.
//
// A node shows an expand button exactly when HasChildren is set; adding a
// child sets it on the parent.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/Bitmap.h"
#include "ui/Control.h"

namespace ui {

class TreeView;

class TreeNode {
public:
    TreeNode(const TreeNode&) = delete;
    TreeNode& operator=(const TreeNode&) = delete;

    [[nodiscard]] TreeView& Owner() const noexcept { return owner_; }
    [[nodiscard]] TreeNode* Parent() const noexcept { return parent_; }
    // Bytes in the tree's text code page.
    [[nodiscard]] const std::string& Text() const noexcept { return text_; }
    void SetText(std::string text);

    [[nodiscard]] int ImageIndex() const noexcept { return imageIndex_; }
    void SetImageIndex(int index);
    [[nodiscard]] int SelectedIndex() const noexcept { return selectedIndex_; }
    void SetSelectedIndex(int index);
    [[nodiscard]] bool HasChildren() const noexcept { return hasChildren_; }
    void SetHasChildren(bool hasChildren);

    [[nodiscard]] std::size_t Count() const noexcept { return children_.size(); }
    [[nodiscard]] TreeNode* Item(std::size_t index) const { return children_.at(index).get(); }
    [[nodiscard]] TreeNode* FirstChild() const noexcept;
    [[nodiscard]] TreeNode* NextSibling() const noexcept;
    // 0 for a root node.
    [[nodiscard]] int Level() const noexcept;

    [[nodiscard]] bool Expanded() const noexcept { return expanded_; }
    // Raises OnExpanding (which may refuse) and OnExpanded; nothing happens
    // for an expanded node or one without children.
    void Expand();
    void Collapse();

private:
    friend class TreeView;
    TreeNode(TreeView& owner, TreeNode* parent, std::string text);

    TreeView& owner_;
    TreeNode* parent_;
    std::string text_;
    int imageIndex_ = -1;
    int selectedIndex_ = -1;
    bool hasChildren_ = false;
    bool expanded_ = false;
    std::vector<std::unique_ptr<TreeNode>> children_;
};

class TreeView : public Control {
public:
    TreeView(Control* parent, std::string name);
    ~TreeView() override;

    // Root nodes.
    [[nodiscard]] std::size_t Count() const noexcept { return roots_.size(); }
    [[nodiscard]] TreeNode* Item(std::size_t index) const { return roots_.at(index).get(); }
    [[nodiscard]] TreeNode* FirstNode() const noexcept { return roots_.empty() ? nullptr : roots_.front().get(); }

    // Adds a node as the last child of `parent` (a root node for nullptr).
    TreeNode& AddChild(TreeNode* parent, std::string text);
    // Removes `node` and its subtree.
    void Delete(TreeNode* node);
    void Clear();

    [[nodiscard]] TreeNode* Selected() const noexcept { return selected_; }
    // Selects `node` (nullptr: nothing); raises OnChange when it changes.
    void SetSelected(TreeNode* node);

    void BeginUpdate();
    void EndUpdate();

    // The image list is not owned and must outlive the tree; its images are
    // taken when it is assigned.
    [[nodiscard]] const ImageList* Images() const noexcept { return images_; }
    void SetImages(const ImageList* images);

    [[nodiscard]] bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool readOnly);
    [[nodiscard]] bool ShowRoot() const noexcept { return showRoot_; }
    void SetShowRoot(bool show);
    [[nodiscard]] bool ShowLines() const noexcept { return showLines_; }
    void SetShowLines(bool show);
    [[nodiscard]] bool HideSelection() const noexcept { return hideSelection_; }
    void SetHideSelection(bool hide);
    // Indentation of each level in pixels.
    [[nodiscard]] int Indent() const noexcept { return indent_; }
    void SetIndent(int pixels);

    NotifyEvent OnChange;
    std::function<void(TreeNode& node, bool& allowExpansion)> OnExpanding;
    std::function<void(TreeNode& node)> OnExpanded;

    // ---- for backends ----
    // The user selected a node or opened one with the expand button.
    void UserSelected(TreeNode* node);
    [[nodiscard]] bool UserExpanding(TreeNode& node);
    void UserExpanded(TreeNode& node);
    void UserCollapsed(TreeNode& node) noexcept;
    // Visits every node, parents before children.
    void ForEach(const std::function<void(TreeNode&)>& visit) const;

private:
    friend class TreeNode;
    void NodeChanged(TreeNode& node) const;
    void Forget(TreeNode& node) noexcept;

    std::vector<std::unique_ptr<TreeNode>> roots_;
    TreeNode* selected_ = nullptr;
    const ImageList* images_ = nullptr;
    bool readOnly_ = true;
    bool showRoot_ = true;
    bool showLines_ = true;
    bool hideSelection_ = true;
    int indent_ = 19;
    int updateCount_ = 0;
};

}  // namespace ui
