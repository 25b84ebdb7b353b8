#include "ui/TreeView.h"

#include <algorithm>
#include <stdexcept>

namespace ui {

// ---- TreeNode ----

TreeNode::TreeNode(TreeView& owner, TreeNode* parent, std::string text)
    : owner_(owner), parent_(parent), text_(std::move(text)) {}

void TreeNode::SetText(std::string text) {
    if (text == text_) return;
    text_ = std::move(text);
    owner_.NodeChanged(*this);
}

void TreeNode::SetImageIndex(int index) {
    if (index == imageIndex_) return;
    imageIndex_ = index;
    owner_.NodeChanged(*this);
}

void TreeNode::SetSelectedIndex(int index) {
    if (index == selectedIndex_) return;
    selectedIndex_ = index;
    owner_.NodeChanged(*this);
}

void TreeNode::SetHasChildren(bool hasChildren) {
    if (hasChildren == hasChildren_) return;
    hasChildren_ = hasChildren;
    owner_.NodeChanged(*this);
}

TreeNode* TreeNode::FirstChild() const noexcept { return children_.empty() ? nullptr : children_.front().get(); }

TreeNode* TreeNode::NextSibling() const noexcept {
    const auto& siblings = parent_ != nullptr ? parent_->children_ : owner_.roots_;
    const auto it = std::find_if(siblings.begin(), siblings.end(), [this](const auto& n) { return n.get() == this; });
    return it == siblings.end() || it + 1 == siblings.end() ? nullptr : (it + 1)->get();
}

int TreeNode::Level() const noexcept {
    int level = 0;
    for (const TreeNode* p = parent_; p != nullptr; p = p->parent_) ++level;
    return level;
}

void TreeNode::Expand() {
    if (expanded_ || (!hasChildren_ && children_.empty())) return;
    if (!owner_.UserExpanding(*this)) return;
    expanded_ = true;
    if (Peer* peer = owner_.GetPeer()) peer->TreeExpanded(*this);
    if (auto handler = owner_.OnExpanded) handler(*this);
}

void TreeNode::Collapse() {
    if (!expanded_) return;
    expanded_ = false;
    if (Peer* peer = owner_.GetPeer()) peer->TreeExpanded(*this);
}

// ---- TreeView ----

TreeView::TreeView(Control* parent, std::string name) : Control(parent, std::move(name), ControlKind::TreeView) {
    SetBounds(0, 0, 121, 97);
}

TreeView::~TreeView() = default;

TreeNode& TreeView::AddChild(TreeNode* parent, std::string text) {
    if (parent != nullptr && &parent->owner_ != this) throw std::invalid_argument("node of another tree");
    auto node = std::unique_ptr<TreeNode>(new TreeNode(*this, parent, std::move(text)));
    TreeNode& ref = *node;
    (parent != nullptr ? parent->children_ : roots_).push_back(std::move(node));
    if (parent != nullptr && !parent->hasChildren_) {
        parent->hasChildren_ = true;
        NodeChanged(*parent);
    }
    if (Peer* peer = GetPeer()) peer->TreeInserted(ref);
    return ref;
}

void TreeView::Forget(TreeNode& node) noexcept {
    for (const TreeNode* n = selected_; n != nullptr; n = n->parent_) {
        if (n == &node) {
            selected_ = nullptr;
            break;
        }
    }
}

void TreeView::Delete(TreeNode* node) {
    if (node == nullptr || &node->owner_ != this) return;
    if (Peer* peer = GetPeer()) peer->TreeRemoving(*node);
    Forget(*node);
    auto& siblings = node->parent_ != nullptr ? node->parent_->children_ : roots_;
    siblings.erase(std::remove_if(siblings.begin(), siblings.end(), [node](const auto& n) { return n.get() == node; }),
                   siblings.end());
}

void TreeView::Clear() {
    if (Peer* peer = GetPeer()) {
        for (const auto& root : roots_) peer->TreeRemoving(*root);
    }
    selected_ = nullptr;
    roots_.clear();
}

void TreeView::SetSelected(TreeNode* node) {
    if (node != nullptr && &node->owner_ != this) return;
    if (node == selected_) return;
    selected_ = node;
    if (Peer* peer = GetPeer()) peer->TreeSelected();
    if (NotifyEvent handler = OnChange) handler(*this);
}

void TreeView::UserSelected(TreeNode* node) {
    if (node == selected_) return;
    selected_ = node;
    if (NotifyEvent handler = OnChange) handler(*this);
}

bool TreeView::UserExpanding(TreeNode& node) {
    bool allow = true;
    if (auto handler = OnExpanding) handler(node, allow);
    return allow;
}

void TreeView::UserExpanded(TreeNode& node) {
    node.expanded_ = true;
    if (auto handler = OnExpanded) handler(node);
}

void TreeView::UserCollapsed(TreeNode& node) noexcept { node.expanded_ = false; }

void TreeView::ForEach(const std::function<void(TreeNode&)>& visit) const {
    const std::function<void(TreeNode&)> walk = [&](TreeNode& node) {
        visit(node);
        for (const auto& child : node.children_) walk(*child);
    };
    for (const auto& root : roots_) walk(*root);
}

void TreeView::BeginUpdate() {
    if (updateCount_++ > 0) return;
    if (Peer* peer = GetPeer()) peer->SetRedraw(false);
}

void TreeView::EndUpdate() {
    if (updateCount_ == 0 || --updateCount_ > 0) return;
    if (Peer* peer = GetPeer()) peer->SetRedraw(true);
}

void TreeView::SetImages(const ImageList* images) {
    images_ = images;
    Changed(Aspect::Picture);
}

void TreeView::SetReadOnly(bool readOnly) {
    if (readOnly == readOnly_) return;
    readOnly_ = readOnly;
    Changed(Aspect::Style);
}

void TreeView::SetShowRoot(bool show) {
    if (show == showRoot_) return;
    showRoot_ = show;
    Changed(Aspect::Style);
}

void TreeView::SetShowLines(bool show) {
    if (show == showLines_) return;
    showLines_ = show;
    Changed(Aspect::Style);
}

void TreeView::SetHideSelection(bool hide) {
    if (hide == hideSelection_) return;
    hideSelection_ = hide;
    Changed(Aspect::Style);
}

void TreeView::SetIndent(int pixels) {
    if (pixels == indent_) return;
    indent_ = pixels;
    Changed(Aspect::Style);
}

void TreeView::NodeChanged(TreeNode& node) const {
    if (Peer* peer = GetPeer()) peer->TreeNodeChanged(node);
}


}  // namespace ui
