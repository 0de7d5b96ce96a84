#include "stored_design.h"

PropertyBag StoredDesign::ucHistogram1()
{
    return {
        {QStringLiteral("gridtickhorizontal"), 50},
        {QStringLiteral("gridtickvertical"), 100},
        {QStringLiteral("numberofpoints"), 1700},
        {QStringLiteral("max"), 1200},
        {QStringLiteral("forecolor"), 0x0000FFFF},
    };
}
