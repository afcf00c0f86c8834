#include "BrowserTestSupport.h"

#include "browser/BrowserElementLoader.h"

#include <gtest/gtest.h>

namespace
{

BrowserElementPtr emp()
{
    return std::make_shared<BrowserElement>("EMP", "HR", "TABLE", BrowserElement::Table);
}

BrowserElementPtr managementView(const QVariantMap &options)
{
    auto element = std::make_shared<BrowserElement>("Locks", "Management", "LOCKS",
                                                    BrowserElement::ManagementActivity, "MANAGEMENT");
    element->setOptions(options);
    return element;
}

FilterPtr columnFilter(const QString &column, const QStringList &values, bool negate = false)
{
    auto filter = std::make_shared<Filter>();
    filter->setColumnName(column);
    filter->setValues(values);
    filter->setNot(negate);
    return filter;
}

ExtendedFilterPtr quickFilter()
{
    auto filter = std::make_shared<ExtendedFilter>();
    filter->setQuickFilterColumns({"NAME", "AGE"});
    filter->setQuickFilterOperators({"=", ">"});
    filter->setQuickFilterValues({"Smith", 40});
    filter->setQuickFilterSort({VornSort{"AGE", "DESC"}});
    return filter;
}

// The backend call a request makes, with its arguments.
TEST(BrowserElementLoaderTest, EachRequestMakesItsOneBackendCall)
{
    using Request = BrowserControllerLoadingElement;
    const QString m = BrowserElementLoader::managementSchema;
    const QVariantMap sorted{{"query", "SELECT locks"}, {"sort", "WAITED"}};
    const QVariantMap ascending{{"query", "SELECT locks"}, {"sort", "WAITED"}, {"sortDirection", "ASC"}};
    const QVariantMap defaults{{"query", "SELECT locks"}, {"defaultOptions", QVariantList{"a", "b", "c"}}};
    struct Case {
        const char *what;
        BrowserControllerLoadingElementPtr request;
        bool previousState;
        BrowserCall expected;
    };
    const QList<Case> cases = {
        {"no filter",
         Request::elementWithElement(emp(), FilterPtr()),
         false,
         {"selectElement", {"HR", "TABLE", "EMP"}}},
        {"a filter without column",
         Request::elementWithElement(emp(), std::make_shared<Filter>()),
         false,
         {"selectElement", {"HR", "TABLE", "EMP"}}},
        {"one value is itself",
         Request::elementWithElement(emp(), columnFilter("ID", {"7"})),
         false,
         {"selectElementWithFilter", {"HR", "TABLE", "EMP", "ID", QString("7"), false}}},
        {"two values are a list",
         Request::elementWithElement(emp(), columnFilter("ID", {"7", "8"}, true)),
         false,
         {"selectElementWithFilter", {"HR", "TABLE", "EMP", "ID", QStringList{"7", "8"}, true}}},
        {"no values are NULL",
         Request::elementWithElement(emp(), columnFilter("ID", {})),
         false,
         {"selectElementWithFilter", {"HR", "TABLE", "EMP", "ID", QVariant(), false}}},
        {"quick filters and sort",
         Request::elementWithElement(emp(), quickFilter()),
         false,
         {"selectElementWithQuickFiltersAndSort",
          {"HR", "TABLE", "EMP", QStringList{"NAME", "AGE"}, QStringList{"=", ">"}, QVariantList{"Smith", 40},
           QStringList{"AGE DESC"}}}},
        {"management sort without direction descends",
         Request::elementWithElement(managementView(sorted), FilterPtr()),
         false,
         {"selectElementWithQuickFiltersAndSort",
          {m, "LOCKS", "SELECT locks", QStringList(), QStringList(), QVariantList(),
           QStringList{"WAITED DESC"}}}},
        {"management sort ascending",
         Request::elementWithElement(managementView(ascending), FilterPtr()),
         false,
         {"selectElementWithQuickFiltersAndSort",
          {m, "LOCKS", "SELECT locks", QStringList(), QStringList(), QVariantList(),
           QStringList{"WAITED ASC"}}}},
        {"management default options",
         Request::elementWithElement(managementView(defaults), FilterPtr()),
         false,
         {"selectElementWithQuickFiltersAndSort",
          {m, "LOCKS", "SELECT locks",
           QStringList{"__CUSTOM_FILTER__", "__CUSTOM_FILTER__", "__CUSTOM_FILTER__"},
           QStringList{"__CUSTOM_FILTER__", "__CUSTOM_FILTER__", "__CUSTOM_FILTER__"},
           QVariantList{"a", "b", "c"}, QStringList()}}},
        {"management view remembered by the backend",
         Request::elementWithElement(managementView(sorted), FilterPtr()),
         true,
         {"selectElement", {m, "LOCKS", "SELECT locks"}}},
        {"management view with a plain filter",
         Request::elementWithElement(managementView(sorted), columnFilter("ID", {"1"})),
         false,
         {"selectElementWithQuickFiltersAndSort",
          {m, "LOCKS", "SELECT locks", QStringList(), QStringList(), QVariantList(), QStringList()}}},
    };
    for (const Case &c : cases) {
        FakeMetadataBrowser browser(std::make_shared<FakeLastAction>());
        browser.setPreviousStateHadFilterOrSort(c.previousState);
        EXPECT_TRUE(BrowserElementLoader::load(browser, *c.request)) << c.what;
        const QList<BrowserCall> loads = browser.loads();
        ASSERT_EQ(loads.size(), 1) << c.what;
        EXPECT_EQ(loads.first().selector, c.expected.selector) << c.what;
        EXPECT_EQ(loads.first().arguments, c.expected.arguments) << c.what;
    }
}

TEST(BrowserElementLoaderTest, OnlyFilteredLoadsOfSchemaObjectsAreRetriedForInvalidInput)
{
    using Request = BrowserControllerLoadingElement;
    const auto filtered = Request::elementWithElement(emp(), columnFilter("ID", {"x"}));
    const auto quick = Request::elementWithElement(emp(), quickFilter());
    const auto plain = Request::elementWithElement(emp(), FilterPtr());
    const auto management = Request::elementWithElement(managementView({}), quickFilter());
    EXPECT_TRUE(BrowserElementLoader::retriesWithoutFilter(*filtered, "INVALID_INPUT"));
    EXPECT_TRUE(BrowserElementLoader::retriesWithoutFilter(*quick, "Unparseable date: \"31-02\""));
    EXPECT_FALSE(BrowserElementLoader::retriesWithoutFilter(*filtered, "ORA-00942"));
    EXPECT_FALSE(BrowserElementLoader::retriesWithoutFilter(*plain, "INVALID_INPUT"));
    EXPECT_FALSE(BrowserElementLoader::retriesWithoutFilter(*management, "INVALID_INPUT"));
}

} // namespace
