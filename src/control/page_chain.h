#pragma once
// TPageChain: the ordered, 1-based list that owns the pages. A singly linked
// chain of nodes ending in an empty terminating node, with a remembered
// position (the hint) so that reading the pages one after the other, or
// appending after such a walk, costs one step per call instead of a walk
// from the head each time.
//
// Every operation that inserts, removes or reorders nodes leaves the hint
// naming a valid position and its node, or empties it.
#include <memory>
#include <utility>

namespace pagewell {

template <class TPage>
class TPageChain {
 public:
  TPageChain() : head_(std::make_unique<Node>()) {}
  ~TPageChain() { Clear(); }
  TPageChain(const TPageChain&) = delete;
  TPageChain& operator=(const TPageChain&) = delete;

  unsigned Count() const { return count_; }

  // Position 1 (or an empty list) inserts at the front; 0 appends after the
  // last page; any other position p inserts after the page at p - 1, so the
  // new page takes position p (positions past the end append).
  void Add(std::unique_ptr<TPage> page, unsigned position) {
    if (!page) return;
    auto node = std::make_unique<Node>();
    node->page = std::move(page);
    if (count_ == 0 || position == 1) {
      node->next = std::move(head_);
      head_ = std::move(node);
      ++count_;
      // Every page moved one position on: the hint now names the new head.
      Remember(1, head_.get());
      return;
    }
    if (position == 0 || position > count_) position = count_ + 1;
    Node* before = NodeAt(position - 1);
    node->next = std::move(before->next);
    before->next = std::move(node);
    ++count_;
    Remember(position, before->next.get());
  }

  // The page at the position, or null for 0 and positions past the end.
  TPage* Get(unsigned position) {
    if (position == 0 || position > count_) return nullptr;
    return NodeAt(position)->page.get();
  }

  // Frees the page at the position with its node; nothing for 0 and
  // positions past the end.
  void Delete(unsigned position) {
    if (position == 0 || position > count_) return;
    std::unique_ptr<Node>& link = position == 1 ? head_ : NodeAt(position - 1)->next;
    std::unique_ptr<Node> removed = std::move(link);
    link = std::move(removed->next);
    --count_;
    // Positions before the removed one keep their nodes; the hint stays
    // only if it named one of them.
    if (hintPosition_ >= position) Forget();
  }

  // Exchanges the pages at position - 1 and position by relinking; nothing
  // unless 2 <= position <= count.
  void SwapWithPrevious(unsigned position) {
    if (position < 2 || position > count_) return;
    std::unique_ptr<Node>& link = position == 2 ? head_ : NodeAt(position - 2)->next;
    std::unique_ptr<Node> first = std::move(link);
    std::unique_ptr<Node> second = std::move(first->next);
    first->next = std::move(second->next);
    Node* nowSecond = first.get();
    second->next = std::move(first);
    link = std::move(second);
    Remember(position, nowSecond);
  }

  // Frees every page and node; the terminating node stays.
  void Clear() {
    // One node at a time, so that a long list is not freed by recursion.
    while (head_->next) head_ = std::move(head_->next);
    count_ = 0;
    Forget();
  }

  // Calls visit(page, position) for every page in list order, one step per
  // page; the hint ends on the last page.
  template <class Visit>
  void ForEach(Visit&& visit) {
    for (unsigned position = 1; position <= count_; ++position) visit(*Get(position), position);
  }

  unsigned HintPosition() const { return hintPosition_; }
  // Links followed by all walks so far: what reading by position costs.
  unsigned long long LinksFollowed() const { return linksFollowed_; }

 private:
  struct Node {
    std::unique_ptr<TPage> page;  // empty in the terminating node
    std::unique_ptr<Node> next;
  };

  // 1 <= position <= count: walks from the hint when it lies at or before
  // the position, else from the head, and remembers the position.
  Node* NodeAt(unsigned position) {
    unsigned at = 1;
    Node* node = head_.get();
    if (hintPosition_ != 0 && hintPosition_ <= position) {
      at = hintPosition_;
      node = hintNode_;
    }
    linksFollowed_ += position - at;
    for (; at < position; ++at) node = node->next.get();
    Remember(position, node);
    return node;
  }

  void Remember(unsigned position, Node* node) {
    hintPosition_ = position;
    hintNode_ = node;
  }
  void Forget() { Remember(0, nullptr); }

  std::unique_ptr<Node> head_;
  unsigned count_ = 0;
  unsigned hintPosition_ = 0;
  Node* hintNode_ = nullptr;
  unsigned long long linksFollowed_ = 0;
};

}  // namespace pagewell
