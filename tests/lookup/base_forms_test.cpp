// The English base forms a look-up falls back on: WordNet's irregular forms
// first, then its regular endings, in the order a caller tries them.
#include "lookup/base_forms.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quill::lookup {
namespace {

using Forms = std::vector<std::string>;

TEST(BaseForms, IrregularFormsComeFirst) {
  struct Case {
    const char* word;
    const char* first;
  };
  const Case cases[] = {
      {"geese", "goose"},  {"children", "child"}, {"went", "go"},       {"ran", "run"},
      {"mice", "mouse"},   {"feet", "foot"},      {"were", "be"},       {"bigger", "big"},
      {"happiest", "happy"}, {"running", "run"},  {"stopped", "stop"},  {"women", "woman"},
      // The first and the last form of the lists.
      {"aardwolves", "aardwolf"}, {"zoosporangia", "zoosporangium"},
      // A to Z fold, as the book's look-up does.
      {"Geese", "goose"},  {"WENT", "go"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.word);
    const Forms forms = BaseForms(c.word);
    ASSERT_FALSE(forms.empty());
    EXPECT_EQ(forms.front(), c.first);
  }
}

TEST(BaseForms, EveryCandidateInOrder) {
  struct Case {
    const char* word;
    Forms forms;
  };
  const std::vector<Case> cases = {
      // Noun endings, then verb endings; a form is given once.
      {"boxes", {"boxe", "box"}},
      {"cities", {"citie", "city", "citi"}},
      {"churches", {"churche", "church"}},
      {"walked", {"walke", "walk"}},
      {"making", {"make", "mak"}},
      // Every base the lists give, noun before verb, then the endings.
      {"leaves", {"leaf", "leave", "leav"}},
      {"better", {"good", "well", "bett", "bette"}},
      {"happiest", {"happy", "happi", "happie"}},
      // The lists' "_" is a space; "is is" is no base form.
      {"amici curiae", {"amicus curiae"}},
      {"is", {"be", "i"}},
      // A noun in "ss" is no plural; as a verb it may still be one.
      {"glass", {"glas"}},
      {"cafés", {"café"}},
      // Nothing to take off, or nothing left when it is.
      {"go", {}},
      {"s", {}},
      {"es", {"e"}},
      {"", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.word);
    EXPECT_EQ(BaseForms(c.word), c.forms);
  }
}

}  // namespace
}  // namespace quill::lookup
