// The old-style body serialization the page markers depend on; whole bodies
// are files in reference/ (reference_test.cpp).
#include "site/old_style_html.h"

#include <gtest/gtest.h>

#include "text/text.h"

namespace trovik::site {
namespace {

std::string Old(std::string_view html) { return OldStyleHtmlUtf8(html); }

TEST(OldStyleHtml, TagsAndAttributeQuoting) {
  EXPECT_EQ(Old("<form id=\"Form1\"></form>"), "<FORM id=Form1></FORM>");
  EXPECT_EQ(Old("<script language=\"javascript\">var a = 1 < 2 && b;</script>"),
            "<SCRIPT language=javascript>var a = 1 < 2 && b;</SCRIPT>");
  EXPECT_EQ(Old("<div class=\"a b\" title=\"say &quot;x&quot; &amp; y\" data-x=\"a-b_c.d:e#f\"></div>"),
            "<DIV class=\"a b\" title=\"say &quot;x&quot; &amp; y\" data-x=a-b_c.d:e#f></DIV>");
  // Values with anything else, even one character, are quoted.
  EXPECT_EQ(Old("<div style=\"width:50%\" align=\"left\"></div>"), "<DIV style=\"width:50%\" align=left></DIV>");
}

TEST(OldStyleHtml, AddressAttributesAlwaysQuotedAndKeptAsWritten) {
  EXPECT_EQ(Old("<a href=\"../x/y.php?a=1&amp;b=2\">x</a>"), "<A href=\"../x/y.php?a=1&amp;b=2\">x</A>");
  EXPECT_EQ(Old("<img src=\"pic.jpg\" width=\"10\">"), "<IMG src=\"pic.jpg\" width=10>");
  EXPECT_EQ(Old("<a href=\"\">e</a>"), "<A href=\"\">e</A>");
}

TEST(OldStyleHtml, EmptyValuesAndBooleans) {
  EXPECT_EQ(Old("<input type=\"checkbox\" checked=\"\" value=\"\">"), "<INPUT type=checkbox checked value=\"\">");
  EXPECT_EQ(Old("<select multiple><option selected>a</option></select>"),
            "<SELECT multiple><OPTION selected>a</OPTION></SELECT>");
  EXPECT_EQ(Old("<table><tr><td nowrap=\"nowrap\"></td></tr></table>"),
            "<TABLE><TBODY><TR><TD nowrap=nowrap></TD></TR></TBODY></TABLE>");
}

TEST(OldStyleHtml, VoidElementsAndEndTags) {
  EXPECT_EQ(Old("a<br>b<hr><p>c</p><p>d"), "a<BR>b<HR><P>c</P><P>d</P>");
  EXPECT_EQ(Old("<br/><img src=\"a\"/>"), "<BR><IMG src=\"a\">");
  EXPECT_EQ(Old("<table><tr><td>1</td></tr></table>"), "<TABLE><TBODY><TR><TD>1</TD></TR></TBODY></TABLE>");
  // Foreign elements keep the DOM's attribute names.
  EXPECT_EQ(Old("<svg viewBox=\"0 0 1 1\"></svg>"), "<SVG viewBox=\"0 0 1 1\"></SVG>");
  // Unknown elements keep their own name.
  EXPECT_EQ(Old("<my-tag x=\"1\">t</my-tag>"), "<MY-TAG x=1>t</MY-TAG>");
}

TEST(OldStyleHtml, TextEntitiesCommentsAndLineBreaks) {
  EXPECT_EQ(Old("a &amp; b &lt;c&gt; \"q\" d&nbsp;e"), "a &amp; b &lt;c&gt; \"q\" d&nbsp;e");
  EXPECT_EQ(Old("<!-- note <b> -->x"), "<!-- note <b> -->x");
  EXPECT_EQ(Old("a\nb\r\nc\rd"), "a\r\nb\r\nc\r\nd");
  EXPECT_EQ(Old("<style>\np > a { x: 1 }\n</style>"), "<STYLE>\r\np > a { x: 1 }\r\n</STYLE>");
  EXPECT_EQ(Old("<b><i>x</b>y</i>"), "<B><I>x</I></B><I>y</I>");
  // Line breaks inside values and comments are CR LF too; the lines fall apart there.
  EXPECT_EQ(Old("<a title=\"a\nb\">x</a><!--c\nd-->"), "<A title=\"a\r\nb\">x</A><!--c\r\nd-->");
  EXPECT_EQ(Old("<textarea>a<b</textarea>"), "<TEXTAREA>a&lt;b</TEXTAREA>");
}

TEST(OldStyleHtml, TextBeforeAFormEndStaysInsideTheForm) {
  EXPECT_EQ(Old("<div><form>x\n</form>\n</div>"), "<DIV><FORM>x\r\n</FORM>\r\n</DIV>");
  EXPECT_EQ(Old("<FORM>a<HR>\n</Form>b"), "<FORM>a<HR>\r\n</FORM>b");
  // The mark that keeps it there never shows, wherever "</form" appears.
  EXPECT_EQ(Old("<script>s = \"</form>\";</script><!-- </form> --><a title=\"</form>\">t</a>"),
            "<SCRIPT>s = \"</form>\";</SCRIPT><!-- </form> --><A title=\"</form>\">t</A>");
  EXPECT_EQ(Old("<textarea></form></textarea>"), "<TEXTAREA>&lt;/form&gt;</TEXTAREA>");
}

TEST(OldStyleHtml, NonAsciiTo1250) {
  // Slovak letters survive, a character 1250 lacks becomes "?", the no-break space stays an entity.
  EXPECT_EQ(OldStyleHtml("odhl\xC3\xA1si\xC5\xA5 \xE2\x82\xAC\xE6\x97\xA5 a\xC2\xA0" "b"),
            text::Utf8To1250Strict("odhl\xC3\xA1si\xC5\xA5 \xE2\x82\xAC") + "? a&nbsp;b");
  EXPECT_EQ(OldStyleHtml("<a title=\"\xC5\xBElt\xC3\xBD\">x</a>"), "<A title=\"\x9Elt\xFD\">x</A>");
}

TEST(OldStyleHtml, EmptyAndHostileInput) {
  EXPECT_EQ(Old(""), "");
  EXPECT_EQ(Old("<"), "&lt;");
  EXPECT_EQ(Old("</p></div><html><body a=b>t"), "<P></P>t");
  // Deep nesting does not recurse on the stack.
  std::string deep;
  for (int i = 0; i < 20000; ++i) deep += "<span>";
  std::string out = Old(deep + "x");
  EXPECT_NE(out.find("x</SPAN>"), std::string::npos);
}

}  // namespace
}  // namespace trovik::site
