#include "sql/SQLParserParseProperties.h"

SQLParserParseProperties SQLParserParseProperties::defaultParseProperties()
{
    SQLParserParseProperties p;
    p.id_ = 1;
    p.lineCommentStartChar1_ = u'-';
    p.lineCommentStartChar2_ = u'-';
    p.lineCommentStartLength_ = 2;
    p.blockCommentStart_ = QStringLiteral("/*");
    p.blockCommentEnd_ = QStringLiteral("*/");
    p.literalQuote_ = u'\'';
    p.literalQuote2_ = u'\'';
    p.identifierQuote_ = u'"';
    p.querySeparator_ = u';';
    p.inputParameter_ = u':';
    p.quotedIdentifierMustMatchCase_ = true;
    return p;
}

SQLParserParseProperties SQLParserParseProperties::mySQLParseProperties()
{
    SQLParserParseProperties p = defaultParseProperties();
    p.id_ = 2;
    p.literalQuote2_ = u'"';
    p.identifierQuote_ = u'`';
    p.lineCommentStartChar3_ = u' ';
    p.lineCommentStartLength_ = 3;
    p.lineCommentStart2Char1_ = u'#';
    p.lineCommentStart2Length_ = 1;
    p.quotedIdentifierMustMatchCase_ = false;
    p.backslashEscapesQuotes_ = true;
    p.delimiterDirectives_ = true;
    return p;
}

SQLParserParseProperties SQLParserParseProperties::postgreSQLParseProperties()
{
    SQLParserParseProperties p = defaultParseProperties();
    p.id_ = 3;
    p.dollarQuotes_ = true;
    p.nestedBlockComments_ = true;
    p.prefixedQuotes_ = true;
    p.parameterNeedsSeparation_ = true;
    p.routineBodies_ = true;
    return p;
}
