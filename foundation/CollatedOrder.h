#pragma once
// Sorting many texts in a collator's order without a sort key per text.
// The file list sorts hundreds of thousands of paths: a key per path costs
// more memory than the row it belongs to, and comparing through the collator
// at every step of the sort costs several times a plain comparison.
#include <QStringView>

#include <functional>
#include <vector>

class QCollator;

// The indices 0 to count - 1 in the order collator puts their texts
// (textOf(i) is the text of index i), equal texts in index order. descending
// reverses the order of the texts but not that of equal ones (the first of
// them stays first).
//
// The texts are first sorted by a weight per character that the collator
// itself ranks, then each neighbour is checked with the collator. Where the
// collator reads characters together or ignores some (letters that a
// language sorts as one, a control character), a neighbour may be out of its
// order: the parts that are in order are then merged through the collator.
// The result is the collator's order either way.
std::vector<int> CollatedOrder(int count, const std::function<QStringView(int)>& textOf, const QCollator& collator,
                               bool descending);
