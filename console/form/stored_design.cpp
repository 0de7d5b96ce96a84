#include "stored_design.h"

PropertyBag StoredDesign::Mo()
{
    return {
        {QStringLiteral("bordercolor"), 0x00000040},
        {QStringLiteral("burnincolor"), 0x00000060},
        {QStringLiteral("burnincolorneg"), 0x00000060},
        {QStringLiteral("interdigitgapexp"), 5},
        {QStringLiteral("intersegmentgap"), 5},
        {QStringLiteral("numdigits"), 4},
        {QStringLiteral("segmentlitcolor"), 0x0000FFFF},
        {QStringLiteral("segmentlitcolorneg"), 0x000000FF},
        {QStringLiteral("segmentheight"), 20},
        {QStringLiteral("segmentheightexp"), 10},
        {QStringLiteral("segmentstyle"), 0},
        {QStringLiteral("segmentwidth"), 8},
        {QStringLiteral("segmentwidthexp"), 8},
        {QStringLiteral("theme"), 2},
        {QStringLiteral("value"), QStringLiteral("00")},
        {QStringLiteral("xoffsetexp"), 490},
    };
}

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
