// Sorting texts in a collator's order: whatever the language and the
// characters, the order is the one a stable sort through the collator gives.
#include "foundation/CollatedOrder.h"

#include <gtest/gtest.h>
#include <QCollator>
#include <QLocale>
#include <QStringList>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>

namespace {

QCollator collatorFor(const QString& locale) {
    QCollator collator{QLocale(locale)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

// What the order must be: a stable sort of the indices through the collator.
std::vector<int> referenceOrder(const QStringList& texts, const QCollator& collator, bool descending) {
    std::vector<int> order(size_t(texts.size()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int c = collator.compare(texts[a], texts[b]);
        return descending ? c > 0 : c < 0;
    });
    return order;
}

std::vector<int> collatedOrder(const QStringList& texts, const QCollator& collator, bool descending) {
    return CollatedOrder(
        int(texts.size()), [&](int i) { return QStringView(texts[i]); }, collator, descending);
}

// The texts in an order, readable in a failure's message.
std::string inOrder(const QStringList& texts, const std::vector<int>& order) {
    QStringList result;
    for (const int i : order) result << texts[i];
    return result.join(" | ").toStdString();
}

// Languages that read letters together ("ch" in Czech, "aa" in Danish),
// put letters after "z" (Swedish) or weigh accents from the end (Canadian
// French), and the collator without a language.
const char* const kLocales[] = {"en", "de", "sv", "cs", "da", "fr_CA", "tr", "ja", "C"};

}  // namespace

TEST(CollatedOrderTest, PathsSortAsTheCollatorOrdersThem) {
    const QStringList texts = {
        "/home/u/Zeta.txt",
        "/home/u/zeta.txt",
        "/home/u/äpfel",
        "/home/u/apfel",
        "/home/u/Apfel",
        "/home/u/a b",
        "/home/u/a-b",
        "/home/u/a_b",
        "/home/u/a.b",
        "/home/u/a/b",
        "/home/u/ab",
        "/home/u/chata",
        "/home/u/hrad",
        "/home/u/cesta",
        "/home/u/aarhus",
        "/home/u/zebra",
        "/home/u/éte",
        "/home/u/ete",
        "/home/u/e\u0301te",
        "/home/u/file10",
        "/home/u/file9",
        "/home/u/",
        "",
        "/home/u/\u0001x",
        "/home/u/x",
        "/home/u/\U0001F600",
        "/home/u/中文",
        "/home/u/ıi",
        "/home/u/Iİ",
        "/home/u/soft\u00ADhyphen",
        "/home/u/softhyphen",
        "/home/u/öl",
        "/home/u/ol",
        "/home/u/oz",
        "/home/u/Zeta.txt",
    };
    for (const char* locale : kLocales) {
        const QCollator collator = collatorFor(locale);
        for (const bool descending : {false, true})
            EXPECT_EQ(inOrder(texts, collatedOrder(texts, collator, descending)),
                      inOrder(texts, referenceOrder(texts, collator, descending)))
                << locale << (descending ? " descending" : "");
    }
}

TEST(CollatedOrderTest, EqualTextsKeepTheirOrderEitherWay) {
    const QCollator collator = collatorFor("en");
    const QStringList texts = {"b", "ABC", "a", "abc", "Abc", "c"};
    EXPECT_EQ(collatedOrder(texts, collator, false), (std::vector<int>{2, 1, 3, 4, 0, 5}));
    EXPECT_EQ(collatedOrder(texts, collator, true), (std::vector<int>{5, 0, 1, 3, 4, 2}));
    EXPECT_TRUE(collatedOrder({}, collator, false).empty());
    EXPECT_EQ(collatedOrder({"x"}, collator, true), (std::vector<int>{0}));
}

// Many short texts of characters that are easy to get wrong: letters a
// language reads together, accents alone and combined, characters the
// collator ignores, a character outside the first 65,536, punctuation.
TEST(CollatedOrderTest, RandomTextsOfAwkwardCharactersSortAsTheCollatorOrdersThem) {
    const QStringList pieces = {"a", "A",       "aa", "b",      "c",      "C",          "ch", "h", "H", "e", "é", "E",
                                "É", "e\u0301", "ö",  "o",      "å",      "z",          "Z",  "-", "_", " ", "/", ".",
                                "0", "1",       "9",  "\u0001", "\u00AD", "\U0001F600", "中", "ı", "İ", "i", "ß", "ss"};
    std::mt19937 random(20261209);
    std::uniform_int_distribution<int> piece(0, int(pieces.size()) - 1);
    std::uniform_int_distribution<int> length(0, 6);
    QStringList texts;
    for (int i = 0; i < 3000; ++i) {
        QString text;
        for (int n = length(random); n > 0; --n) text += pieces[piece(random)];
        texts << text;
    }
    for (const char* locale : kLocales) {
        const QCollator collator = collatorFor(locale);
        for (const bool descending : {false, true})
            EXPECT_TRUE(collatedOrder(texts, collator, descending) == referenceOrder(texts, collator, descending))
                << locale << (descending ? " descending" : "");
    }
}
