#include <gtest/gtest.h>

#include "AdvertPage.h"

namespace plavex {
namespace {

TEST(ChooseAdvertMovie, ReadsTheAddressBetweenTheMarkers) {
  const struct {
    const char* url;
    const char* html;
    TAdvertAction action;
    const char* address;
  } cases[] = {
      {"about:blank", "<!--TLabelB-->http://a/x.swf<!--TLabelE-->", TAdvertAction::Ignore, ""},
      {"http://ad/", "<p><!--TLabelB-->http://a/x.swf<!--TLabelE--></p>", TAdvertAction::LoadAddress,
       "http://a/x.swf"},
      {"http://ad/", "<!--TLabelB--> http://a/y.swf\n<!--TLabelE-->", TAdvertAction::LoadAddress,
       "http://a/y.swf"},
      {"http://ad/", "<p>no markers</p>", TAdvertAction::LoadBuiltIn, ""},
      {"http://ad/", "<!--TLabelB--><!--TLabelE-->", TAdvertAction::LoadBuiltIn, ""},
      {"http://ad/", "<!--TLabelB-->   <!--TLabelE-->", TAdvertAction::LoadBuiltIn, ""},
      {"http://ad/", "<!--TLabelE-->x<!--TLabelB-->http://a/z.swf", TAdvertAction::LoadBuiltIn, ""},
      {"http://ad/", "<!--TLabelE-->x<!--TLabelB-->a.swf<!--TLabelE-->", TAdvertAction::LoadAddress,
       "a.swf"},
      {"http://ad/", "<!--TLabelB-->a.swf<!--TLabelE-->b<!--TLabelE-->", TAdvertAction::LoadAddress,
       "a.swf"},
      {"http://ad/", "", TAdvertAction::LoadBuiltIn, ""},
  };
  for (const auto& c : cases) {
    const TAdvertChoice choice =
        ChooseAdvertMovie(QString::fromUtf8(c.url), QString::fromUtf8(c.html));
    EXPECT_EQ(choice.action, c.action) << c.html;
    EXPECT_EQ(choice.address, QString::fromUtf8(c.address)) << c.html;
  }
}

}  // namespace
}  // namespace plavex
