#include "xml/XmlNamedReferences.h"

namespace {

struct NamedReference {
    const char* name;
    unsigned short codePoint;
};

// Grouped by bucket: the sum of the name's character codes modulo kBucketCount.
// kBucketStart[b] .. kBucketStart[b + 1] are the entries of bucket b.
constexpr unsigned kBucketCount = 130;

constexpr NamedReference kReferences[] = {
    // 0
    {"oslash", 248},
    {"ugrave", 249},
    // 1
    {"lceil", 8968},
    {"omega", 969},
    {"yacute", 253},
    // 2
    {"delta", 948},
    {"icirc", 238},
    {"weierp", 8472},
    // 3
    {"dArr", 8659},
    {"sup1", 185},
    // 4
    {"lfloor", 8970},
    {"sup2", 178},
    // 5
    {"THORN", 222},
    {"curren", 164},
    {"kappa", 954},
    {"mdash", 8212},
    {"sup3", 179},
    // 6
    {"diams", 9830},
    {"ndash", 8211},
    // 7
    {"Iota", 921},
    {"hArr", 8660},
    {"otimes", 8855},
    {"rceil", 8969},
    // 8
    {"ocirc", 244},
    {"oelig", 339},
    {"trade", 8482},
    // 9
    {"Auml", 196},
    {"aring", 229},
    {"sigma", 963},
    // 10
    {"acute", 180},
    {"rfloor", 8971},
    {"tilde", 732},
    // 11
    {"lArr", 8656},
    {"lsaquo", 8249},
    // 12
    {"infin", 8734},
    {"thinsp", 8201},
    // 13
    {"Euml", 203},
    {"iexcl", 161},
    // 14
    {"Zeta", 918},
    {"theta", 952},
    {"ucirc", 251},
    // 15
    {"oline", 8254},
    // 16
    {"Chi", 935},
    {"frasl", 8260},
    {"lowast", 8727},
    // 17
    {"Iuml", 207},
    {"clubs", 9827},
    {"iquest", 191},
    {"rArr", 8658},
    {"rsaquo", 8250},
    // 18
    {"crarr", 8629},
    {"micro", 181},
    // 19
    {"bdquo", 8222},
    // 20
    {"uArr", 8657},
    // 21
    {"plusmn", 177},
    {"prime", 8242},
    // 22
    {"Eta", 919},
    {"beta", 946},
    // 23
    {"Ouml", 214},
    // 26
    {"laquo", 171},
    {"times", 215},
    // 27
    {"circ", 710},
    // 28
    {"lang", 9001},
    // 29
    {"Phi", 934},
    {"Uuml", 220},
    {"ldquo", 8220},
    {"macr", 175},
    // 30
    {"para", 182},
    {"pound", 163},
    {"real", 8476},
    // 32
    {"notin", 8713},
    {"raquo", 187},
    // 33
    {"Yuml", 376},
    {"cong", 8773},
    {"szlig", 223},
    {"upsih", 978},
    // 34
    {"asymp", 8776},
    {"equiv", 8801},
    {"rang", 9002},
    {"sbquo", 8218},
    // 35
    {"darr", 8595},
    {"fnof", 402},
    {"rdquo", 8221},
    {"thorn", 254},
    // 36
    {"cent", 162},
    {"minus", 8722},
    // 37
    {"Rho", 929},
    {"exist", 8707},
    {"ordf", 170},
    // 38
    {"Tau", 932},
    // 39
    {"empty", 8709},
    {"harr", 8596},
    {"iota", 953},
    // 40
    {"Psi", 936},
    // 41
    {"auml", 228},
    {"bull", 8226},
    {"sect", 167},
    {"sube", 8838},
    // 43
    {"larr", 8592},
    {"oplus", 8853},
    // 44
    {"deg", 176},
    {"lsquo", 8216},
    {"ordm", 186},
    // 45
    {"apos", 39},
    {"euml", 235},
    {"isin", 8712},
    {"nbsp", 160},
    // 46
    {"zeta", 950},
    // 47
    {"and", 8743},
    {"emsp", 8195},
    {"prod", 8719},
    // 48
    {"cap", 8745},
    {"chi", 967},
    {"ensp", 8194},
    // 49
    {"iuml", 239},
    {"part", 8706},
    {"perp", 8869},
    {"rarr", 8594},
    // 50
    {"ang", 8736},
    {"nsub", 8836},
    {"rsquo", 8217},
    // 52
    {"sdot", 8901},
    {"uarr", 8593},
    // 53
    {"copy", 169},
    {"euro", 8364},
    // 54
    {"eta", 951},
    // 55
    {"Pi", 928},
    {"ouml", 246},
    {"supe", 8839},
    // 57
    {"Lambda", 923},
    // 58
    {"amp", 38},
    {"reg", 174},
    // 59
    {"prop", 8733},
    // 60
    {"AElig", 198},
    {"Ccedil", 199},
    // 61
    {"eth", 240},
    {"phi", 966},
    {"uuml", 252},
    // 63
    {"Xi", 926},
    // 64
    {"Mu", 924},
    // 65
    {"Nu", 925},
    {"yuml", 255},
    // 66
    {"Dagger", 8225},
    // 67
    {"quot", 34},
    {"zwnj", 8204},
    // 68
    {"cup", 8746},
    {"there4", 8756},
    // 69
    {"rho", 961},
    {"sim", 8764},
    // 70
    {"sub", 8834},
    {"tau", 964},
    // 71
    {"int", 8747},
    {"lrm", 8206},
    {"rlm", 8207},
    // 72
    {"psi", 968},
    {"yen", 165},
    // 74
    {"OElig", 338},
    {"ge", 8805},
    {"uml", 168},
    // 75
    {"Aacute", 193},
    {"Atilde", 195},
    {"piv", 982},
    // 77
    {"Omicron", 927},
    {"not", 172},
    // 78
    {"Agrave", 192},
    // 79
    {"Eacute", 201},
    {"le", 8804},
    // 80
    {"Epsilon", 917},
    {"shy", 173},
    // 81
    {"loz", 9674},
    {"ne", 8800},
    {"sum", 8721},
    // 82
    {"Egrave", 200},
    // 83
    {"Iacute", 205},
    // 84
    {"sup", 8835},
    // 85
    {"ni", 8715},
    // 86
    {"Igrave", 204},
    // 87
    {"pi", 960},
    {"zwj", 8205},
    // 88
    {"Ntilde", 209},
    // 89
    {"Oacute", 211},
    {"Otilde", 213},
    {"gt", 62},
    {"lambda", 955},
    // 92
    {"Acirc", 194},
    {"Ograve", 210},
    {"ccedil", 231},
    // 93
    {"Gamma", 915},
    // 94
    {"Scaron", 352},
    {"lt", 60},
    // 95
    {"ETH", 208},
    {"Uacute", 218},
    {"or", 8744},
    {"xi", 958},
    // 96
    {"Alpha", 913},
    {"Ecirc", 202},
    {"Upsilon", 933},
    {"mu", 956},
    // 97
    {"nu", 957},
    // 98
    {"Oslash", 216},
    {"Ugrave", 217},
    {"dagger", 8224},
    // 99
    {"Omega", 937},
    {"Yacute", 221},
    {"thetasym", 977},
    // 100
    {"Delta", 916},
    {"Icirc", 206},
    // 103
    {"Kappa", 922},
    {"alefsym", 8501},
    // 106
    {"Ocirc", 212},
    // 107
    {"Aring", 197},
    {"Sigma", 931},
    {"aacute", 225},
    {"atilde", 227},
    // 109
    {"divide", 247},
    {"omicron", 959},
    // 110
    {"agrave", 224},
    // 111
    {"eacute", 233},
    {"sigmaf", 962},
    // 112
    {"Theta", 920},
    {"Ucirc", 219},
    {"epsilon", 949},
    // 114
    {"egrave", 232},
    // 115
    {"iacute", 237},
    // 118
    {"hellip", 8230},
    {"igrave", 236},
    // 119
    {"Prime", 8243},
    {"brvbar", 166},
    // 120
    {"Beta", 914},
    {"forall", 8704},
    {"nabla", 8711},
    {"ntilde", 241},
    {"spades", 9824},
    // 121
    {"frac12", 189},
    {"middot", 183},
    {"oacute", 243},
    {"otilde", 245},
    // 123
    {"cedil", 184},
    {"frac14", 188},
    // 124
    {"acirc", 226},
    {"aelig", 230},
    {"ograve", 242},
    // 125
    {"frac34", 190},
    {"gamma", 947},
    {"image", 8465},
    {"radic", 8730},
    // 126
    {"scaron", 353},
    // 127
    {"hearts", 9829},
    {"uacute", 250},
    // 128
    {"alpha", 945},
    {"ecirc", 234},
    {"upsilon", 965},
    // 129
    {"permil", 8240},
};

constexpr unsigned short kBucketStart[kBucketCount + 1] = {
    0,   2,   5,   8,   10,  12,  17,  19,  23,  26,  29,  32,  34,  36,  38,  41,  42,  45,  50,
    52,  53,  54,  56,  58,  59,  59,  59,  61,  62,  63,  67,  70,  70,  72,  76,  80,  84,  86,
    89,  90,  93,  94,  98,  98,  100, 103, 107, 108, 111, 114, 118, 121, 121, 123, 125, 126, 129,
    129, 130, 132, 133, 135, 138, 138, 139, 140, 142, 143, 145, 147, 149, 151, 154, 156, 156, 159,
    162, 162, 164, 165, 167, 169, 172, 173, 174, 175, 176, 177, 179, 180, 184, 184, 184, 187, 188,
    190, 194, 198, 199, 202, 205, 207, 207, 207, 209, 209, 209, 210, 214, 214, 216, 217, 219, 222,
    222, 223, 224, 224, 224, 226, 228, 233, 237, 237, 239, 242, 246, 247, 249, 252, 253,
};

}  // namespace

unsigned LookupNamedReference(std::wstring_view name) {
    unsigned sum = 0;
    for (wchar_t ch : name) {
        if (ch == 0 || ch > 0x7F) return 0;  // every name is plain ASCII
        sum += static_cast<unsigned>(ch);
    }
    const unsigned bucket = sum % kBucketCount;
    for (unsigned i = kBucketStart[bucket]; i < kBucketStart[bucket + 1]; ++i) {
        const char* entry = kReferences[i].name;
        size_t n = 0;
        while (entry[n] != 0 && n < name.size() && static_cast<wchar_t>(entry[n]) == name[n]) ++n;
        if (entry[n] == 0 && n == name.size()) return kReferences[i].codePoint;
    }
    return 0;
}

size_t NamedReferenceCount() { return sizeof(kReferences) / sizeof(kReferences[0]); }
