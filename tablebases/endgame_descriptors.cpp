// The endgame descriptor table, ids 0..440, and the index function pair of
// every endgame. The rows are fixed data: names, flags and position counts
// decide which files exist and how long they are.
#include "tablebases/endgame_descriptors.h"

// Each endgame's pair of index functions runs the shared interpreter on
// the endgame's plan for white and for black to move.
#define INDEX_FUNCTION_PAIR(Name, id)                                                     \
    static int64_t Index##Name##Wtm(const PieceSquares *white, const PieceSquares *black, \
                                    int32_t epSquare, int32_t invert) {                   \
        return ComputeTablebaseIndex(id, 0, white, black, epSquare, invert);              \
    }                                                                                     \
    static int64_t Index##Name##Btm(const PieceSquares *white, const PieceSquares *black, \
                                    int32_t epSquare, int32_t invert) {                   \
        return ComputeTablebaseIndex(id, 1, white, black, epSquare, invert);              \
    }

INDEX_FUNCTION_PAIR(Kpk, 1)
INDEX_FUNCTION_PAIR(Knk, 2)
INDEX_FUNCTION_PAIR(Kbk, 3)
INDEX_FUNCTION_PAIR(Krk, 4)
INDEX_FUNCTION_PAIR(Kqk, 5)
INDEX_FUNCTION_PAIR(Kpkp, 6)
INDEX_FUNCTION_PAIR(Knkp, 7)
INDEX_FUNCTION_PAIR(Knkn, 8)
INDEX_FUNCTION_PAIR(Kbkp, 9)
INDEX_FUNCTION_PAIR(Kbkn, 10)
INDEX_FUNCTION_PAIR(Kbkb, 11)
INDEX_FUNCTION_PAIR(Krkp, 12)
INDEX_FUNCTION_PAIR(Krkn, 13)
INDEX_FUNCTION_PAIR(Krkb, 14)
INDEX_FUNCTION_PAIR(Krkr, 15)
INDEX_FUNCTION_PAIR(Kqkp, 16)
INDEX_FUNCTION_PAIR(Kqkn, 17)
INDEX_FUNCTION_PAIR(Kqkb, 18)
INDEX_FUNCTION_PAIR(Kqkr, 19)
INDEX_FUNCTION_PAIR(Kqkq, 20)
INDEX_FUNCTION_PAIR(Kppk, 21)
INDEX_FUNCTION_PAIR(Knpk, 22)
INDEX_FUNCTION_PAIR(Knnk, 23)
INDEX_FUNCTION_PAIR(Kbpk, 24)
INDEX_FUNCTION_PAIR(Kbnk, 25)
INDEX_FUNCTION_PAIR(Kbbk, 26)
INDEX_FUNCTION_PAIR(Krpk, 27)
INDEX_FUNCTION_PAIR(Krnk, 28)
INDEX_FUNCTION_PAIR(Krbk, 29)
INDEX_FUNCTION_PAIR(Krrk, 30)
INDEX_FUNCTION_PAIR(Kqpk, 31)
INDEX_FUNCTION_PAIR(Kqnk, 32)
INDEX_FUNCTION_PAIR(Kqbk, 33)
INDEX_FUNCTION_PAIR(Kqrk, 34)
INDEX_FUNCTION_PAIR(Kqqk, 35)
INDEX_FUNCTION_PAIR(Kppkp, 36)
INDEX_FUNCTION_PAIR(Kppkn, 37)
INDEX_FUNCTION_PAIR(Kppkb, 38)
INDEX_FUNCTION_PAIR(Kppkr, 39)
INDEX_FUNCTION_PAIR(Kppkq, 40)
INDEX_FUNCTION_PAIR(Knpkp, 41)
INDEX_FUNCTION_PAIR(Knpkn, 42)
INDEX_FUNCTION_PAIR(Knpkb, 43)
INDEX_FUNCTION_PAIR(Knpkr, 44)
INDEX_FUNCTION_PAIR(Knpkq, 45)
INDEX_FUNCTION_PAIR(Knnkp, 46)
INDEX_FUNCTION_PAIR(Knnkn, 47)
INDEX_FUNCTION_PAIR(Knnkb, 48)
INDEX_FUNCTION_PAIR(Knnkr, 49)
INDEX_FUNCTION_PAIR(Knnkq, 50)
INDEX_FUNCTION_PAIR(Kbpkp, 51)
INDEX_FUNCTION_PAIR(Kbpkn, 52)
INDEX_FUNCTION_PAIR(Kbpkb, 53)
INDEX_FUNCTION_PAIR(Kbpkr, 54)
INDEX_FUNCTION_PAIR(Kbpkq, 55)
INDEX_FUNCTION_PAIR(Kbnkp, 56)
INDEX_FUNCTION_PAIR(Kbnkn, 57)
INDEX_FUNCTION_PAIR(Kbnkb, 58)
INDEX_FUNCTION_PAIR(Kbnkr, 59)
INDEX_FUNCTION_PAIR(Kbnkq, 60)
INDEX_FUNCTION_PAIR(Kbbkp, 61)
INDEX_FUNCTION_PAIR(Kbbkn, 62)
INDEX_FUNCTION_PAIR(Kbbkb, 63)
INDEX_FUNCTION_PAIR(Kbbkr, 64)
INDEX_FUNCTION_PAIR(Kbbkq, 65)
INDEX_FUNCTION_PAIR(Krpkp, 66)
INDEX_FUNCTION_PAIR(Krpkn, 67)
INDEX_FUNCTION_PAIR(Krpkb, 68)
INDEX_FUNCTION_PAIR(Krpkr, 69)
INDEX_FUNCTION_PAIR(Krpkq, 70)
INDEX_FUNCTION_PAIR(Krnkp, 71)
INDEX_FUNCTION_PAIR(Krnkn, 72)
INDEX_FUNCTION_PAIR(Krnkb, 73)
INDEX_FUNCTION_PAIR(Krnkr, 74)
INDEX_FUNCTION_PAIR(Krnkq, 75)
INDEX_FUNCTION_PAIR(Krbkp, 76)
INDEX_FUNCTION_PAIR(Krbkn, 77)
INDEX_FUNCTION_PAIR(Krbkb, 78)
INDEX_FUNCTION_PAIR(Krbkr, 79)
INDEX_FUNCTION_PAIR(Krbkq, 80)
INDEX_FUNCTION_PAIR(Krrkp, 81)
INDEX_FUNCTION_PAIR(Krrkn, 82)
INDEX_FUNCTION_PAIR(Krrkb, 83)
INDEX_FUNCTION_PAIR(Krrkr, 84)
INDEX_FUNCTION_PAIR(Krrkq, 85)
INDEX_FUNCTION_PAIR(Kqpkp, 86)
INDEX_FUNCTION_PAIR(Kqpkn, 87)
INDEX_FUNCTION_PAIR(Kqpkb, 88)
INDEX_FUNCTION_PAIR(Kqpkr, 89)
INDEX_FUNCTION_PAIR(Kqpkq, 90)
INDEX_FUNCTION_PAIR(Kqnkp, 91)
INDEX_FUNCTION_PAIR(Kqnkn, 92)
INDEX_FUNCTION_PAIR(Kqnkb, 93)
INDEX_FUNCTION_PAIR(Kqnkr, 94)
INDEX_FUNCTION_PAIR(Kqnkq, 95)
INDEX_FUNCTION_PAIR(Kqbkp, 96)
INDEX_FUNCTION_PAIR(Kqbkn, 97)
INDEX_FUNCTION_PAIR(Kqbkb, 98)
INDEX_FUNCTION_PAIR(Kqbkr, 99)
INDEX_FUNCTION_PAIR(Kqbkq, 100)
INDEX_FUNCTION_PAIR(Kqrkp, 101)
INDEX_FUNCTION_PAIR(Kqrkn, 102)
INDEX_FUNCTION_PAIR(Kqrkb, 103)
INDEX_FUNCTION_PAIR(Kqrkr, 104)
INDEX_FUNCTION_PAIR(Kqrkq, 105)
INDEX_FUNCTION_PAIR(Kqqkp, 106)
INDEX_FUNCTION_PAIR(Kqqkn, 107)
INDEX_FUNCTION_PAIR(Kqqkb, 108)
INDEX_FUNCTION_PAIR(Kqqkr, 109)
INDEX_FUNCTION_PAIR(Kqqkq, 110)
INDEX_FUNCTION_PAIR(Kpppk, 111)
INDEX_FUNCTION_PAIR(Knppk, 112)
INDEX_FUNCTION_PAIR(Knnpk, 113)
INDEX_FUNCTION_PAIR(Knnnk, 114)
INDEX_FUNCTION_PAIR(Kbppk, 115)
INDEX_FUNCTION_PAIR(Kbnpk, 116)
INDEX_FUNCTION_PAIR(Kbnnk, 117)
INDEX_FUNCTION_PAIR(Kbbpk, 118)
INDEX_FUNCTION_PAIR(Kbbnk, 119)
INDEX_FUNCTION_PAIR(Kbbbk, 120)
INDEX_FUNCTION_PAIR(Krppk, 121)
INDEX_FUNCTION_PAIR(Krnpk, 122)
INDEX_FUNCTION_PAIR(Krnnk, 123)
INDEX_FUNCTION_PAIR(Krbpk, 124)
INDEX_FUNCTION_PAIR(Krbnk, 125)
INDEX_FUNCTION_PAIR(Krbbk, 126)
INDEX_FUNCTION_PAIR(Krrpk, 127)
INDEX_FUNCTION_PAIR(Krrnk, 128)
INDEX_FUNCTION_PAIR(Krrbk, 129)
INDEX_FUNCTION_PAIR(Krrrk, 130)
INDEX_FUNCTION_PAIR(Kqppk, 131)
INDEX_FUNCTION_PAIR(Kqnpk, 132)
INDEX_FUNCTION_PAIR(Kqnnk, 133)
INDEX_FUNCTION_PAIR(Kqbpk, 134)
INDEX_FUNCTION_PAIR(Kqbnk, 135)
INDEX_FUNCTION_PAIR(Kqbbk, 136)
INDEX_FUNCTION_PAIR(Kqrpk, 137)
INDEX_FUNCTION_PAIR(Kqrnk, 138)
INDEX_FUNCTION_PAIR(Kqrbk, 139)
INDEX_FUNCTION_PAIR(Kqrrk, 140)
INDEX_FUNCTION_PAIR(Kqqpk, 141)
INDEX_FUNCTION_PAIR(Kqqnk, 142)
INDEX_FUNCTION_PAIR(Kqqbk, 143)
INDEX_FUNCTION_PAIR(Kqqrk, 144)
INDEX_FUNCTION_PAIR(Kqqqk, 145)
INDEX_FUNCTION_PAIR(Knnknn, 146)
INDEX_FUNCTION_PAIR(Kbnknn, 147)
INDEX_FUNCTION_PAIR(Kbbknn, 148)
INDEX_FUNCTION_PAIR(Kbbkbn, 149)
INDEX_FUNCTION_PAIR(Kbbkbb, 150)
INDEX_FUNCTION_PAIR(Krnknn, 151)
INDEX_FUNCTION_PAIR(Krnkbb, 152)
INDEX_FUNCTION_PAIR(Krbknn, 153)
INDEX_FUNCTION_PAIR(Krbkbb, 154)
INDEX_FUNCTION_PAIR(Krrknn, 155)
INDEX_FUNCTION_PAIR(Krrkbn, 156)
INDEX_FUNCTION_PAIR(Krrkbb, 157)
INDEX_FUNCTION_PAIR(Krrkrn, 158)
INDEX_FUNCTION_PAIR(Krrkrb, 159)
INDEX_FUNCTION_PAIR(Krrkrr, 160)
INDEX_FUNCTION_PAIR(Kqnknn, 161)
INDEX_FUNCTION_PAIR(Kqnkbb, 162)
INDEX_FUNCTION_PAIR(Kqnkrr, 163)
INDEX_FUNCTION_PAIR(Kqbknn, 164)
INDEX_FUNCTION_PAIR(Kqbkbb, 165)
INDEX_FUNCTION_PAIR(Kqbkrr, 166)
INDEX_FUNCTION_PAIR(Kqrknn, 167)
INDEX_FUNCTION_PAIR(Kqrkbb, 168)
INDEX_FUNCTION_PAIR(Kqrkrr, 169)
INDEX_FUNCTION_PAIR(Kqqknn, 170)
INDEX_FUNCTION_PAIR(Kqqkbn, 171)
INDEX_FUNCTION_PAIR(Kqqkbb, 172)
INDEX_FUNCTION_PAIR(Kqqkrn, 173)
INDEX_FUNCTION_PAIR(Kqqkrb, 174)
INDEX_FUNCTION_PAIR(Kqqkrr, 175)
INDEX_FUNCTION_PAIR(Kqqkqn, 176)
INDEX_FUNCTION_PAIR(Kqqkqb, 177)
INDEX_FUNCTION_PAIR(Kqqkqr, 178)
INDEX_FUNCTION_PAIR(Kqqkqq, 179)
INDEX_FUNCTION_PAIR(Kbnkbn, 180)
INDEX_FUNCTION_PAIR(Krnkrn, 181)
INDEX_FUNCTION_PAIR(Krbkrb, 182)
INDEX_FUNCTION_PAIR(Kqnkqn, 183)
INDEX_FUNCTION_PAIR(Kqbkqb, 184)
INDEX_FUNCTION_PAIR(Kqrkqr, 185)
INDEX_FUNCTION_PAIR(Krnkbn, 186)
INDEX_FUNCTION_PAIR(Krbkbn, 187)
INDEX_FUNCTION_PAIR(Krbkrn, 188)
INDEX_FUNCTION_PAIR(Kqnkbn, 189)
INDEX_FUNCTION_PAIR(Kqnkrn, 190)
INDEX_FUNCTION_PAIR(Kqnkrb, 191)
INDEX_FUNCTION_PAIR(Kqbkbn, 192)
INDEX_FUNCTION_PAIR(Kqbkrn, 193)
INDEX_FUNCTION_PAIR(Kqbkrb, 194)
INDEX_FUNCTION_PAIR(Kqbkqn, 195)
INDEX_FUNCTION_PAIR(Kqrkbn, 196)
INDEX_FUNCTION_PAIR(Kqrkrn, 197)
INDEX_FUNCTION_PAIR(Kqrkrb, 198)
INDEX_FUNCTION_PAIR(Kqrkqn, 199)
INDEX_FUNCTION_PAIR(Kqrkqb, 200)
INDEX_FUNCTION_PAIR(Kppkpp, 201)
INDEX_FUNCTION_PAIR(Knpkpp, 202)
INDEX_FUNCTION_PAIR(Knpknp, 203)
INDEX_FUNCTION_PAIR(Knnkpp, 204)
INDEX_FUNCTION_PAIR(Knnknp, 205)
INDEX_FUNCTION_PAIR(Kbpkpp, 206)
INDEX_FUNCTION_PAIR(Kbpknp, 207)
INDEX_FUNCTION_PAIR(Kbpknn, 208)
INDEX_FUNCTION_PAIR(Kbpkbp, 209)
INDEX_FUNCTION_PAIR(Kbnkpp, 210)
INDEX_FUNCTION_PAIR(Kbnknp, 211)
INDEX_FUNCTION_PAIR(Kbnkbp, 212)
INDEX_FUNCTION_PAIR(Kbbkpp, 213)
INDEX_FUNCTION_PAIR(Kbbknp, 214)
INDEX_FUNCTION_PAIR(Kbbkbp, 215)
INDEX_FUNCTION_PAIR(Krpkpp, 216)
INDEX_FUNCTION_PAIR(Krpknp, 217)
INDEX_FUNCTION_PAIR(Krpknn, 218)
INDEX_FUNCTION_PAIR(Krpkbp, 219)
INDEX_FUNCTION_PAIR(Krpkbn, 220)
INDEX_FUNCTION_PAIR(Krpkbb, 221)
INDEX_FUNCTION_PAIR(Krpkrp, 222)
INDEX_FUNCTION_PAIR(Krnkpp, 223)
INDEX_FUNCTION_PAIR(Krnknp, 224)
INDEX_FUNCTION_PAIR(Krnkbp, 225)
INDEX_FUNCTION_PAIR(Krnkrp, 226)
INDEX_FUNCTION_PAIR(Krbkpp, 227)
INDEX_FUNCTION_PAIR(Krbknp, 228)
INDEX_FUNCTION_PAIR(Krbkbp, 229)
INDEX_FUNCTION_PAIR(Krbkrp, 230)
INDEX_FUNCTION_PAIR(Krrkpp, 231)
INDEX_FUNCTION_PAIR(Krrknp, 232)
INDEX_FUNCTION_PAIR(Krrkbp, 233)
INDEX_FUNCTION_PAIR(Krrkrp, 234)
INDEX_FUNCTION_PAIR(Kqpkpp, 235)
INDEX_FUNCTION_PAIR(Kqpknp, 236)
INDEX_FUNCTION_PAIR(Kqpknn, 237)
INDEX_FUNCTION_PAIR(Kqpkbp, 238)
INDEX_FUNCTION_PAIR(Kqpkbn, 239)
INDEX_FUNCTION_PAIR(Kqpkbb, 240)
INDEX_FUNCTION_PAIR(Kqpkrp, 241)
INDEX_FUNCTION_PAIR(Kqpkrn, 242)
INDEX_FUNCTION_PAIR(Kqpkrb, 243)
INDEX_FUNCTION_PAIR(Kqpkrr, 244)
INDEX_FUNCTION_PAIR(Kqpkqp, 245)
INDEX_FUNCTION_PAIR(Kqnkpp, 246)
INDEX_FUNCTION_PAIR(Kqnknp, 247)
INDEX_FUNCTION_PAIR(Kqnkbp, 248)
INDEX_FUNCTION_PAIR(Kqnkrp, 249)
INDEX_FUNCTION_PAIR(Kqnkqp, 250)
INDEX_FUNCTION_PAIR(Kqbkpp, 251)
INDEX_FUNCTION_PAIR(Kqbknp, 252)
INDEX_FUNCTION_PAIR(Kqbkbp, 253)
INDEX_FUNCTION_PAIR(Kqbkrp, 254)
INDEX_FUNCTION_PAIR(Kqbkqp, 255)
INDEX_FUNCTION_PAIR(Kqrkpp, 256)
INDEX_FUNCTION_PAIR(Kqrknp, 257)
INDEX_FUNCTION_PAIR(Kqrkbp, 258)
INDEX_FUNCTION_PAIR(Kqrkrp, 259)
INDEX_FUNCTION_PAIR(Kqrkqp, 260)
INDEX_FUNCTION_PAIR(Kqqkpp, 261)
INDEX_FUNCTION_PAIR(Kqqknp, 262)
INDEX_FUNCTION_PAIR(Kqqkbp, 263)
INDEX_FUNCTION_PAIR(Kqqkrp, 264)
INDEX_FUNCTION_PAIR(Kqqkqp, 265)
INDEX_FUNCTION_PAIR(Knnnkn, 266)
INDEX_FUNCTION_PAIR(Kbnnkn, 267)
INDEX_FUNCTION_PAIR(Kbbnkn, 268)
INDEX_FUNCTION_PAIR(Kbbbkn, 269)
INDEX_FUNCTION_PAIR(Krnnkn, 270)
INDEX_FUNCTION_PAIR(Krbbkn, 271)
INDEX_FUNCTION_PAIR(Krrnkn, 272)
INDEX_FUNCTION_PAIR(Krrbkn, 273)
INDEX_FUNCTION_PAIR(Krrrkn, 274)
INDEX_FUNCTION_PAIR(Kqnnkn, 275)
INDEX_FUNCTION_PAIR(Kqbbkn, 276)
INDEX_FUNCTION_PAIR(Kqrrkn, 277)
INDEX_FUNCTION_PAIR(Kqqnkn, 278)
INDEX_FUNCTION_PAIR(Kqqbkn, 279)
INDEX_FUNCTION_PAIR(Kqqrkn, 280)
INDEX_FUNCTION_PAIR(Kqqqkn, 281)
INDEX_FUNCTION_PAIR(Knnnkb, 282)
INDEX_FUNCTION_PAIR(Kbnnkb, 283)
INDEX_FUNCTION_PAIR(Kbbnkb, 284)
INDEX_FUNCTION_PAIR(Kbbbkb, 285)
INDEX_FUNCTION_PAIR(Krnnkb, 286)
INDEX_FUNCTION_PAIR(Krbbkb, 287)
INDEX_FUNCTION_PAIR(Krrnkb, 288)
INDEX_FUNCTION_PAIR(Krrbkb, 289)
INDEX_FUNCTION_PAIR(Krrrkb, 290)
INDEX_FUNCTION_PAIR(Kqnnkb, 291)
INDEX_FUNCTION_PAIR(Kqbbkb, 292)
INDEX_FUNCTION_PAIR(Kqrrkb, 293)
INDEX_FUNCTION_PAIR(Kqqnkb, 294)
INDEX_FUNCTION_PAIR(Kqqbkb, 295)
INDEX_FUNCTION_PAIR(Kqqrkb, 296)
INDEX_FUNCTION_PAIR(Kqqqkb, 297)
INDEX_FUNCTION_PAIR(Knnnkr, 298)
INDEX_FUNCTION_PAIR(Kbnnkr, 299)
INDEX_FUNCTION_PAIR(Kbbnkr, 300)
INDEX_FUNCTION_PAIR(Kbbbkr, 301)
INDEX_FUNCTION_PAIR(Krnnkr, 302)
INDEX_FUNCTION_PAIR(Krbbkr, 303)
INDEX_FUNCTION_PAIR(Krrnkr, 304)
INDEX_FUNCTION_PAIR(Krrbkr, 305)
INDEX_FUNCTION_PAIR(Krrrkr, 306)
INDEX_FUNCTION_PAIR(Kqnnkr, 307)
INDEX_FUNCTION_PAIR(Kqbbkr, 308)
INDEX_FUNCTION_PAIR(Kqrrkr, 309)
INDEX_FUNCTION_PAIR(Kqqnkr, 310)
INDEX_FUNCTION_PAIR(Kqqbkr, 311)
INDEX_FUNCTION_PAIR(Kqqrkr, 312)
INDEX_FUNCTION_PAIR(Kqqqkr, 313)
INDEX_FUNCTION_PAIR(Knnnkq, 314)
INDEX_FUNCTION_PAIR(Kbnnkq, 315)
INDEX_FUNCTION_PAIR(Kbbnkq, 316)
INDEX_FUNCTION_PAIR(Kbbbkq, 317)
INDEX_FUNCTION_PAIR(Krnnkq, 318)
INDEX_FUNCTION_PAIR(Krbbkq, 319)
INDEX_FUNCTION_PAIR(Krrnkq, 320)
INDEX_FUNCTION_PAIR(Krrbkq, 321)
INDEX_FUNCTION_PAIR(Krrrkq, 322)
INDEX_FUNCTION_PAIR(Kqnnkq, 323)
INDEX_FUNCTION_PAIR(Kqbbkq, 324)
INDEX_FUNCTION_PAIR(Kqrrkq, 325)
INDEX_FUNCTION_PAIR(Kqqnkq, 326)
INDEX_FUNCTION_PAIR(Kqqbkq, 327)
INDEX_FUNCTION_PAIR(Kqqrkq, 328)
INDEX_FUNCTION_PAIR(Kqqqkq, 329)
INDEX_FUNCTION_PAIR(Krbnkn, 330)
INDEX_FUNCTION_PAIR(Kqbnkn, 331)
INDEX_FUNCTION_PAIR(Kqrnkn, 332)
INDEX_FUNCTION_PAIR(Kqrbkn, 333)
INDEX_FUNCTION_PAIR(Krbnkb, 334)
INDEX_FUNCTION_PAIR(Kqbnkb, 335)
INDEX_FUNCTION_PAIR(Kqrnkb, 336)
INDEX_FUNCTION_PAIR(Kqrbkb, 337)
INDEX_FUNCTION_PAIR(Krbnkr, 338)
INDEX_FUNCTION_PAIR(Kqbnkr, 339)
INDEX_FUNCTION_PAIR(Kqrnkr, 340)
INDEX_FUNCTION_PAIR(Kqrbkr, 341)
INDEX_FUNCTION_PAIR(Krbnkq, 342)
INDEX_FUNCTION_PAIR(Kqbnkq, 343)
INDEX_FUNCTION_PAIR(Kqrnkq, 344)
INDEX_FUNCTION_PAIR(Kqrbkq, 345)
INDEX_FUNCTION_PAIR(Kpppkp, 346)
INDEX_FUNCTION_PAIR(Knppkp, 347)
INDEX_FUNCTION_PAIR(Knnpkp, 348)
INDEX_FUNCTION_PAIR(Knnnkp, 349)
INDEX_FUNCTION_PAIR(Kbppkp, 350)
INDEX_FUNCTION_PAIR(Kbnpkp, 351)
INDEX_FUNCTION_PAIR(Kbnnkp, 352)
INDEX_FUNCTION_PAIR(Kbbpkp, 353)
INDEX_FUNCTION_PAIR(Kbbnkp, 354)
INDEX_FUNCTION_PAIR(Kbbbkp, 355)
INDEX_FUNCTION_PAIR(Krppkp, 356)
INDEX_FUNCTION_PAIR(Krnpkp, 357)
INDEX_FUNCTION_PAIR(Krnnkp, 358)
INDEX_FUNCTION_PAIR(Krbpkp, 359)
INDEX_FUNCTION_PAIR(Krbnkp, 360)
INDEX_FUNCTION_PAIR(Krbbkp, 361)
INDEX_FUNCTION_PAIR(Krrpkp, 362)
INDEX_FUNCTION_PAIR(Krrnkp, 363)
INDEX_FUNCTION_PAIR(Krrbkp, 364)
INDEX_FUNCTION_PAIR(Krrrkp, 365)
INDEX_FUNCTION_PAIR(Kqppkp, 366)
INDEX_FUNCTION_PAIR(Kqnpkp, 367)
INDEX_FUNCTION_PAIR(Kqnnkp, 368)
INDEX_FUNCTION_PAIR(Kqbpkp, 369)
INDEX_FUNCTION_PAIR(Kqbnkp, 370)
INDEX_FUNCTION_PAIR(Kqbbkp, 371)
INDEX_FUNCTION_PAIR(Kqrpkp, 372)
INDEX_FUNCTION_PAIR(Kqrnkp, 373)
INDEX_FUNCTION_PAIR(Kqrbkp, 374)
INDEX_FUNCTION_PAIR(Kqrrkp, 375)
INDEX_FUNCTION_PAIR(Kqqpkp, 376)
INDEX_FUNCTION_PAIR(Kqqnkp, 377)
INDEX_FUNCTION_PAIR(Kqqbkp, 378)
INDEX_FUNCTION_PAIR(Kqqrkp, 379)
INDEX_FUNCTION_PAIR(Kqqqkp, 380)
INDEX_FUNCTION_PAIR(Kpppkn, 381)
INDEX_FUNCTION_PAIR(Knppkn, 382)
INDEX_FUNCTION_PAIR(Knnpkn, 383)
INDEX_FUNCTION_PAIR(Kbppkn, 384)
INDEX_FUNCTION_PAIR(Kbnpkn, 385)
INDEX_FUNCTION_PAIR(Kbbpkn, 386)
INDEX_FUNCTION_PAIR(Krppkn, 387)
INDEX_FUNCTION_PAIR(Krnpkn, 388)
INDEX_FUNCTION_PAIR(Krbpkn, 389)
INDEX_FUNCTION_PAIR(Krrpkn, 390)
INDEX_FUNCTION_PAIR(Kqppkn, 391)
INDEX_FUNCTION_PAIR(Kqnpkn, 392)
INDEX_FUNCTION_PAIR(Kqbpkn, 393)
INDEX_FUNCTION_PAIR(Kqrpkn, 394)
INDEX_FUNCTION_PAIR(Kqqpkn, 395)
INDEX_FUNCTION_PAIR(Kpppkb, 396)
INDEX_FUNCTION_PAIR(Knppkb, 397)
INDEX_FUNCTION_PAIR(Knnpkb, 398)
INDEX_FUNCTION_PAIR(Kbppkb, 399)
INDEX_FUNCTION_PAIR(Kbnpkb, 400)
INDEX_FUNCTION_PAIR(Kbbpkb, 401)
INDEX_FUNCTION_PAIR(Krppkb, 402)
INDEX_FUNCTION_PAIR(Krnpkb, 403)
INDEX_FUNCTION_PAIR(Krbpkb, 404)
INDEX_FUNCTION_PAIR(Krrpkb, 405)
INDEX_FUNCTION_PAIR(Kqppkb, 406)
INDEX_FUNCTION_PAIR(Kqnpkb, 407)
INDEX_FUNCTION_PAIR(Kqbpkb, 408)
INDEX_FUNCTION_PAIR(Kqrpkb, 409)
INDEX_FUNCTION_PAIR(Kqqpkb, 410)
INDEX_FUNCTION_PAIR(Kpppkr, 411)
INDEX_FUNCTION_PAIR(Knppkr, 412)
INDEX_FUNCTION_PAIR(Knnpkr, 413)
INDEX_FUNCTION_PAIR(Kbppkr, 414)
INDEX_FUNCTION_PAIR(Kbnpkr, 415)
INDEX_FUNCTION_PAIR(Kbbpkr, 416)
INDEX_FUNCTION_PAIR(Krppkr, 417)
INDEX_FUNCTION_PAIR(Krnpkr, 418)
INDEX_FUNCTION_PAIR(Krbpkr, 419)
INDEX_FUNCTION_PAIR(Krrpkr, 420)
INDEX_FUNCTION_PAIR(Kqppkr, 421)
INDEX_FUNCTION_PAIR(Kqnpkr, 422)
INDEX_FUNCTION_PAIR(Kqbpkr, 423)
INDEX_FUNCTION_PAIR(Kqrpkr, 424)
INDEX_FUNCTION_PAIR(Kqqpkr, 425)
INDEX_FUNCTION_PAIR(Kpppkq, 426)
INDEX_FUNCTION_PAIR(Knppkq, 427)
INDEX_FUNCTION_PAIR(Knnpkq, 428)
INDEX_FUNCTION_PAIR(Kbppkq, 429)
INDEX_FUNCTION_PAIR(Kbnpkq, 430)
INDEX_FUNCTION_PAIR(Kbbpkq, 431)
INDEX_FUNCTION_PAIR(Krppkq, 432)
INDEX_FUNCTION_PAIR(Krnpkq, 433)
INDEX_FUNCTION_PAIR(Krbpkq, 434)
INDEX_FUNCTION_PAIR(Krrpkq, 435)
INDEX_FUNCTION_PAIR(Kqppkq, 436)
INDEX_FUNCTION_PAIR(Kqnpkq, 437)
INDEX_FUNCTION_PAIR(Kqbpkq, 438)
INDEX_FUNCTION_PAIR(Kqrpkq, 439)
INDEX_FUNCTION_PAIR(Kqqpkq, 440)

const TablebaseDescriptor tablebases[TABLEBASE_COUNT] = {
    {0, 1, {nullptr, nullptr}, "kk", {0, 0}},
    {1, 0, {IndexKpkWtm, IndexKpkBtm}, "kpk", {81664, 84012}},
    {2, 0, {IndexKnkWtm, IndexKnkBtm}, "knk", {26282, 28644}},
    {3, 0, {IndexKbkWtm, IndexKbkBtm}, "kbk", {27243, 28644}},
    {4, 0, {IndexKrkWtm, IndexKrkBtm}, "krk", {27030, 28644}},
    {5, 0, {IndexKqkWtm, IndexKqkBtm}, "kqk", {25629, 28644}},
    {6, 0, {IndexKpkpWtm, IndexKpkpBtm}, "kpkp", {3863492, 3863492}},
    {7, 0, {IndexKnkpWtm, IndexKnkpBtm}, "knkp", {4931904, 4981504}},
    {8, 1, {IndexKnknWtm, IndexKnknBtm}, "knkn", {1603202, 1603202}},
    {9, 0, {IndexKbkpWtm, IndexKbkpBtm}, "kbkp", {5112000, 4981504}},
    {10, 0, {IndexKbknWtm, IndexKbknBtm}, "kbkn", {1661823, 1603202}},
    {11, 1, {IndexKbkbWtm, IndexKbkbBtm}, "kbkb", {1661823, 1661823}},
    {12, 0, {IndexKrkpWtm, IndexKrkpBtm}, "krkp", {5072736, 4981504}},
    {13, 0, {IndexKrknWtm, IndexKrknBtm}, "krkn", {1649196, 1603202}},
    {14, 0, {IndexKrkbWtm, IndexKrkbBtm}, "krkb", {1649196, 1661823}},
    {15, 1, {IndexKrkrWtm, IndexKrkrBtm}, "krkr", {1649196, 1649196}},
    {16, 0, {IndexKqkpWtm, IndexKqkpBtm}, "kqkp", {4810080, 4981504}},
    {17, 0, {IndexKqknWtm, IndexKqknBtm}, "kqkn", {1563735, 1603202}},
    {18, 0, {IndexKqkbWtm, IndexKqkbBtm}, "kqkb", {1563735, 1661823}},
    {19, 0, {IndexKqkrWtm, IndexKqkrBtm}, "kqkr", {1563735, 1649196}},
    {20, 1, {IndexKqkqWtm, IndexKqkqBtm}, "kqkq", {1563735, 1563735}},
    {21, 0, {IndexKppkWtm, IndexKppkBtm}, "kppk", {1806671, 1912372}},
    {22, 0, {IndexKnpkWtm, IndexKnpkBtm}, "knpk", {4648581, 5124732}},
    {23, 0, {IndexKnnkWtm, IndexKnnkBtm}, "knnk", {735304, 873642}},
    {24, 0, {IndexKbpkWtm, IndexKbpkBtm}, "kbpk", {4817128, 5124732}},
    {25, 0, {IndexKbnkWtm, IndexKbnkBtm}, "kbnk", {1550620, 1747284}},
    {26, 0, {IndexKbbkWtm, IndexKbbkBtm}, "kbbk", {789885, 873642}},
    {27, 0, {IndexKrpkWtm, IndexKrpkBtm}, "krpk", {4779530, 5124732}},
    {28, 0, {IndexKrnkWtm, IndexKrnkBtm}, "krnk", {1538479, 1747284}},
    {29, 0, {IndexKrbkWtm, IndexKrbkBtm}, "krbk", {1594560, 1747284}},
    {30, 0, {IndexKrrkWtm, IndexKrrkBtm}, "krrk", {777300, 873642}},
    {31, 0, {IndexKqpkWtm, IndexKqpkBtm}, "kqpk", {4533490, 5124732}},
    {32, 0, {IndexKqnkWtm, IndexKqnkBtm}, "kqnk", {1459616, 1747284}},
    {33, 0, {IndexKqbkWtm, IndexKqbkBtm}, "kqbk", {1512507, 1747284}},
    {34, 0, {IndexKqrkWtm, IndexKqrkBtm}, "kqrk", {1500276, 1747284}},
    {35, 0, {IndexKqqkWtm, IndexKqqkBtm}, "kqqk", {698739, 873642}},
    {36, 0, {IndexKppkpWtm, IndexKppkpBtm}, "kppkp", {84219361, 89391280}},
    {37, 0, {IndexKppknWtm, IndexKppknBtm}, "kppkn", {108400260, 115899744}},
    {38, 0, {IndexKppkbWtm, IndexKppkbBtm}, "kppkb", {108400260, 120132000}},
    {39, 0, {IndexKppkrWtm, IndexKppkrBtm}, "kppkr", {108400260, 119209296}},
    {40, 0, {IndexKppkqWtm, IndexKppkqBtm}, "kppkq", {108400260, 113036880}},
    {41, 0, {IndexKnpkpWtm, IndexKnpkpBtm}, "knpkp", {219921779, 231758952}},
    {42, 0, {IndexKnpknWtm, IndexKnpknBtm}, "knpkn", {278914860, 295914240}},
    {43, 0, {IndexKnpkbWtm, IndexKnpkbBtm}, "knpkb", {278914860, 306720000}},
    {44, 0, {IndexKnpkrWtm, IndexKnpkrBtm}, "knpkr", {278914860, 304369920}},
    {45, 0, {IndexKnpkqWtm, IndexKnpkqBtm}, "knpkq", {278914860, 288610560}},
    {46, 0, {IndexKnnkpWtm, IndexKnnkpBtm}, "knnkp", {137991648, 149445120}},
    {47, 0, {IndexKnnknWtm, IndexKnnknBtm}, "knnkn", {44118240, 48096060}},
    {48, 0, {IndexKnnkbWtm, IndexKnnkbBtm}, "knnkb", {44118240, 49854690}},
    {49, 0, {IndexKnnkrWtm, IndexKnnkrBtm}, "knnkr", {44118240, 49475880}},
    {50, 0, {IndexKnnkqWtm, IndexKnnkqBtm}, "knnkq", {44118240, 46912050}},
    {51, 0, {IndexKbpkpWtm, IndexKbpkpBtm}, "kbpkp", {227896016, 231758952}},
    {52, 0, {IndexKbpknWtm, IndexKbpknBtm}, "kbpkn", {289027680, 295914240}},
    {53, 0, {IndexKbpkbWtm, IndexKbpkbBtm}, "kbpkb", {289027680, 306720000}},
    {54, 0, {IndexKbpkrWtm, IndexKbpkrBtm}, "kbpkr", {289027680, 304369920}},
    {55, 0, {IndexKbpkqWtm, IndexKbpkqBtm}, "kbpkq", {289027680, 288610560}},
    {56, 0, {IndexKbnkpWtm, IndexKbnkpBtm}, "kbnkp", {290989584, 298890240}},
    {57, 0, {IndexKbnknWtm, IndexKbnknBtm}, "kbnkn", {93037200, 96192120}},
    {58, 0, {IndexKbnkbWtm, IndexKbnkbBtm}, "kbnkb", {93037200, 99709380}},
    {59, 0, {IndexKbnkrWtm, IndexKbnkrBtm}, "kbnkr", {93037200, 98951760}},
    {60, 0, {IndexKbnkqWtm, IndexKbnkqBtm}, "kbnkq", {93037200, 93824100}},
    {61, 0, {IndexKbbkpWtm, IndexKbbkpBtm}, "kbbkp", {148223520, 149445120}},
    {62, 0, {IndexKbbknWtm, IndexKbbknBtm}, "kbbkn", {47393100, 48096060}},
    {63, 0, {IndexKbbkbWtm, IndexKbbkbBtm}, "kbbkb", {47393100, 49854690}},
    {64, 0, {IndexKbbkrWtm, IndexKbbkrBtm}, "kbbkr", {47393100, 49475880}},
    {65, 0, {IndexKbbkqWtm, IndexKbbkqBtm}, "kbbkq", {47393100, 46912050}},
    {66, 0, {IndexKrpkpWtm, IndexKrpkpBtm}, "krpkp", {226121876, 231758952}},
    {67, 0, {IndexKrpknWtm, IndexKrpknBtm}, "krpkn", {286777440, 295914240}},
    {68, 0, {IndexKrpkbWtm, IndexKrpkbBtm}, "krpkb", {286777440, 306720000}},
    {69, 0, {IndexKrpkrWtm, IndexKrpkrBtm}, "krpkr", {286777440, 304369920}},
    {70, 0, {IndexKrpkqWtm, IndexKrpkqBtm}, "krpkq", {286777440, 288610560}},
    {71, 0, {IndexKrnkpWtm, IndexKrnkpBtm}, "krnkp", {288692928, 298890240}},
    {72, 0, {IndexKrnknWtm, IndexKrnknBtm}, "krnkn", {92308740, 96192120}},
    {73, 0, {IndexKrnkbWtm, IndexKrnkbBtm}, "krnkb", {92308740, 99709380}},
    {74, 0, {IndexKrnkrWtm, IndexKrnkrBtm}, "krnkr", {92308740, 98951760}},
    {75, 0, {IndexKrnkqWtm, IndexKrnkqBtm}, "krnkq", {92308740, 93824100}},
    {76, 0, {IndexKrbkpWtm, IndexKrbkpBtm}, "krbkp", {299203200, 298890240}},
    {77, 0, {IndexKrbknWtm, IndexKrbknBtm}, "krbkn", {95673600, 96192120}},
    {78, 0, {IndexKrbkbWtm, IndexKrbkbBtm}, "krbkb", {95673600, 99709380}},
    {79, 0, {IndexKrbkrWtm, IndexKrbkrBtm}, "krbkr", {95673600, 98951760}},
    {80, 0, {IndexKrbkqWtm, IndexKrbkqBtm}, "krbkq", {95673600, 93824100}},
    {81, 0, {IndexKrrkpWtm, IndexKrrkpBtm}, "krrkp", {145901232, 149445120}},
    {82, 0, {IndexKrrknWtm, IndexKrrknBtm}, "krrkn", {46658340, 48096060}},
    {83, 0, {IndexKrrkbWtm, IndexKrrkbBtm}, "krrkb", {46658340, 49854690}},
    {84, 0, {IndexKrrkrWtm, IndexKrrkrBtm}, "krrkr", {46658340, 49475880}},
    {85, 0, {IndexKrrkqWtm, IndexKrrkqBtm}, "krrkq", {46658340, 46912050}},
    {86, 0, {IndexKqpkpWtm, IndexKqpkpBtm}, "kqpkp", {214481388, 231758952}},
    {87, 0, {IndexKqpknWtm, IndexKqpknBtm}, "kqpkn", {272015040, 295914240}},
    {88, 0, {IndexKqpkbWtm, IndexKqpkbBtm}, "kqpkb", {272015040, 306720000}},
    {89, 0, {IndexKqpkrWtm, IndexKqpkrBtm}, "kqpkr", {272015040, 304369920}},
    {90, 0, {IndexKqpkqWtm, IndexKqpkqBtm}, "kqpkq", {272015040, 288610560}},
    {91, 0, {IndexKqnkpWtm, IndexKqnkpBtm}, "kqnkp", {273904512, 298890240}},
    {92, 0, {IndexKqnknWtm, IndexKqnknBtm}, "kqnkn", {87576960, 96192120}},
    {93, 0, {IndexKqnkbWtm, IndexKqnkbBtm}, "kqnkb", {87576960, 99709380}},
    {94, 0, {IndexKqnkrWtm, IndexKqnkrBtm}, "kqnkr", {87576960, 98951760}},
    {95, 0, {IndexKqnkqWtm, IndexKqnkqBtm}, "kqnkq", {87576960, 93824100}},
    {96, 0, {IndexKqbkpWtm, IndexKqbkpBtm}, "kqbkp", {283818240, 298890240}},
    {97, 0, {IndexKqbknWtm, IndexKqbknBtm}, "kqbkn", {90750420, 96192120}},
    {98, 0, {IndexKqbkbWtm, IndexKqbkbBtm}, "kqbkb", {90750420, 99709380}},
    {99, 0, {IndexKqbkrWtm, IndexKqbkrBtm}, "kqbkr", {90750420, 98951760}},
    {100, 0, {IndexKqbkqWtm, IndexKqbkqBtm}, "kqbkq", {90750420, 93824100}},
    {101, 0, {IndexKqrkpWtm, IndexKqrkpBtm}, "kqrkp", {281568240, 298890240}},
    {102, 0, {IndexKqrknWtm, IndexKqrknBtm}, "kqrkn", {90038460, 96192120}},
    {103, 0, {IndexKqrkbWtm, IndexKqrkbBtm}, "kqrkb", {90038460, 99709380}},
    {104, 0, {IndexKqrkrWtm, IndexKqrkrBtm}, "kqrkr", {90038460, 98951760}},
    {105, 0, {IndexKqrkqWtm, IndexKqrkqBtm}, "kqrkq", {90038460, 93824100}},
    {106, 0, {IndexKqqkpWtm, IndexKqqkpBtm}, "kqqkp", {131170128, 149445120}},
    {107, 0, {IndexKqqknWtm, IndexKqqknBtm}, "kqqkn", {41944320, 48096060}},
    {108, 0, {IndexKqqkbWtm, IndexKqqkbBtm}, "kqqkb", {41944320, 49854690}},
    {109, 0, {IndexKqqkrWtm, IndexKqqkrBtm}, "kqqkr", {41944320, 49475880}},
    {110, 0, {IndexKqqkqWtm, IndexKqqkqBtm}, "kqqkq", {41944320, 46912050}},
    {111, 0, {IndexKpppkWtm, IndexKpppkBtm}, "kpppk", {26061704, 28388716}},
    {112, 0, {IndexKnppkWtm, IndexKnppkBtm}, "knppk", {102898651, 114742320}},
    {113, 0, {IndexKnnpkWtm, IndexKnnpkBtm}, "knnpk", {130135501, 153741960}},
    {114, 0, {IndexKnnnkWtm, IndexKnnnkBtm}, "knnnk", {13486227, 17472840}},
    {115, 0, {IndexKbppkWtm, IndexKbppkBtm}, "kbppk", {106602156, 114742320}},
    {116, 0, {IndexKbnpkWtm, IndexKbnpkBtm}, "kbnpk", {274352939, 307483920}},
    {117, 0, {IndexKbnnkWtm, IndexKbnnkBtm}, "kbnnk", {43406294, 52418520}},
    {118, 0, {IndexKbbpkWtm, IndexKbbpkBtm}, "kbbpk", {139715040, 153741960}},
    {119, 0, {IndexKbbnkWtm, IndexKbbnkBtm}, "kbbnk", {44983618, 52418520}},
    {120, 0, {IndexKbbbkWtm, IndexKbbbkBtm}, "kbbbk", {15010230, 17472840}},
    {121, 0, {IndexKrppkWtm, IndexKrppkBtm}, "krppk", {105758666, 114742320}},
    {122, 0, {IndexKrnpkWtm, IndexKrnpkBtm}, "krnpk", {272153675, 307483920}},
    {123, 0, {IndexKrnnkWtm, IndexKrnnkBtm}, "krnnk", {43056198, 52418520}},
    {124, 0, {IndexKrbpkWtm, IndexKrbpkBtm}, "krbpk", {281991360, 307483920}},
    {125, 0, {IndexKrbnkWtm, IndexKrbnkBtm}, "krbnk", {90787358, 104837040}},
    {126, 0, {IndexKrbbkWtm, IndexKrbbkBtm}, "krbbk", {46242089, 52418520}},
    {127, 0, {IndexKrrpkWtm, IndexKrrpkBtm}, "krrpk", {137491197, 153741960}},
    {128, 0, {IndexKrrnkWtm, IndexKrrnkBtm}, "krrnk", {44265261, 52418520}},
    {129, 0, {IndexKrrbkWtm, IndexKrrbkBtm}, "krrbk", {45873720, 52418520}},
    {130, 0, {IndexKrrrkWtm, IndexKrrrkBtm}, "krrrk", {14644690, 17472840}},
    {131, 0, {IndexKqppkWtm, IndexKqppkBtm}, "kqppk", {100347220, 114742320}},
    {132, 0, {IndexKqnpkWtm, IndexKqnpkBtm}, "kqnpk", {258294639, 307483920}},
    {133, 0, {IndexKqnnkWtm, IndexKqnnkBtm}, "kqnnk", {40873646, 52418520}},
    {134, 0, {IndexKqbpkWtm, IndexKqbpkBtm}, "kqbpk", {267576632, 307483920}},
    {135, 0, {IndexKqbnkWtm, IndexKqbnkBtm}, "kqbnk", {86166717, 104837040}},
    {136, 0, {IndexKqbbkWtm, IndexKqbbkBtm}, "kqbbk", {43879679, 52418520}},
    {137, 0, {IndexKqrpkWtm, IndexKqrpkBtm}, "kqrpk", {265421907, 307483920}},
    {138, 0, {IndexKqrnkWtm, IndexKqrnkBtm}, "kqrnk", {85470603, 104837040}},
    {139, 0, {IndexKqrbkWtm, IndexKqrbkBtm}, "kqrbk", {88557959, 104837040}},
    {140, 0, {IndexKqrrkWtm, IndexKqrrkBtm}, "kqrrk", {43157690, 52418520}},
    {141, 0, {IndexKqqpkWtm, IndexKqqpkBtm}, "kqqpk", {123688859, 153741960}},
    {142, 0, {IndexKqqnkWtm, IndexKqqnkBtm}, "kqqnk", {39840787, 52418520}},
    {143, 0, {IndexKqqbkWtm, IndexKqqbkBtm}, "kqqbk", {41270973, 52418520}},
    {144, 0, {IndexKqqrkWtm, IndexKqqrkBtm}, "kqqrk", {40916820, 52418520}},
    {145, 0, {IndexKqqqkWtm, IndexKqqqkBtm}, "kqqqk", {12479974, 17472840}},
    {146, 1, {IndexKnnknnWtm, IndexKnnknnBtm}, "knnknn", {1301488080, 1301488080}},
    {147, 0, {IndexKbnknnWtm, IndexKbnknnBtm}, "kbnknn", {2744597400, 2602976160}},
    {148, 0, {IndexKbbknnWtm, IndexKbbknnBtm}, "kbbknn", {1398096450, 1301488080}},
    {149, 0, {IndexKbbkbnWtm, IndexKbbkbnBtm}, "kbbkbn", {2796192900, 2744597400}},
    {150, 1, {IndexKbbkbbWtm, IndexKbbkbbBtm}, "kbbkbb", {1398096450, 1398096450}},
    {151, 2, {IndexKrnknnWtm, IndexKrnknnBtm}, "krnknn", {2723107830, 2602976160}},
    {152, 2, {IndexKrnkbbWtm, IndexKrnkbbBtm}, "krnkbb", {2723107830, 2796192900}},
    {153, 2, {IndexKrbknnWtm, IndexKrbknnBtm}, "krbknn", {2822371200, 2602976160}},
    {154, 0, {IndexKrbkbbWtm, IndexKrbkbbBtm}, "krbkbb", {2822371200, 2796192900}},
    {155, 0, {IndexKrrknnWtm, IndexKrrknnBtm}, "krrknn", {1376421030, 1301488080}},
    {156, 0, {IndexKrrkbnWtm, IndexKrrkbnBtm}, "krrkbn", {2752842060, 2744597400}},
    {157, 0, {IndexKrrkbbWtm, IndexKrrkbbBtm}, "krrkbb", {1376421030, 1398096450}},
    {158, 0, {IndexKrrkrnWtm, IndexKrrkrnBtm}, "krrkrn", {2752842060, 2723107830}},
    {159, 0, {IndexKrrkrbWtm, IndexKrrkrbBtm}, "krrkrb", {2752842060, 2822371200}},
    {160, 1, {IndexKrrkrrWtm, IndexKrrkrrBtm}, "krrkrr", {1376421030, 1376421030}},
    {161, 0, {IndexKqnknnWtm, IndexKqnknnBtm}, "kqnknn", {2583520320, 2602976160}},
    {162, 0, {IndexKqnkbbWtm, IndexKqnkbbBtm}, "kqnkbb", {2583520320, 2796192900}},
    {163, 2, {IndexKqnkrrWtm, IndexKqnkrrBtm}, "kqnkrr", {2583520320, 2752842060}},
    {164, 0, {IndexKqbknnWtm, IndexKqbknnBtm}, "kqbknn", {2677137390, 2602976160}},
    {165, 0, {IndexKqbkbbWtm, IndexKqbkbbBtm}, "kqbkbb", {2677137390, 2796192900}},
    {166, 0, {IndexKqbkrrWtm, IndexKqbkrrBtm}, "kqbkrr", {2677137390, 2752842060}},
    {167, 0, {IndexKqrknnWtm, IndexKqrknnBtm}, "kqrknn", {2656134570, 2602976160}},
    {168, 0, {IndexKqrkbbWtm, IndexKqrkbbBtm}, "kqrkbb", {2656134570, 2796192900}},
    {169, 0, {IndexKqrkrrWtm, IndexKqrkrrBtm}, "kqrkrr", {2656134570, 2752842060}},
    {170, 0, {IndexKqqknnWtm, IndexKqqknnBtm}, "kqqknn", {1237357440, 1301488080}},
    {171, 0, {IndexKqqkbnWtm, IndexKqqkbnBtm}, "kqqkbn", {2474714880, 2744597400}},
    {172, 0, {IndexKqqkbbWtm, IndexKqqkbbBtm}, "kqqkbb", {1237357440, 1398096450}},
    {173, 0, {IndexKqqkrnWtm, IndexKqqkrnBtm}, "kqqkrn", {2474714880, 2723107830}},
    {174, 0, {IndexKqqkrbWtm, IndexKqqkrbBtm}, "kqqkrb", {2474714880, 2822371200}},
    {175, 0, {IndexKqqkrrWtm, IndexKqqkrrBtm}, "kqqkrr", {1237357440, 1376421030}},
    {176, 0, {IndexKqqkqnWtm, IndexKqqkqnBtm}, "kqqkqn", {2474714880, 2583520320}},
    {177, 0, {IndexKqqkqbWtm, IndexKqqkqbBtm}, "kqqkqb", {2474714880, 2677137390}},
    {178, 0, {IndexKqqkqrWtm, IndexKqqkqrBtm}, "kqqkqr", {2474714880, 2656134570}},
    {179, 1, {IndexKqqkqqWtm, IndexKqqkqqBtm}, "kqqkqq", {1237357440, 1237357440}},
    {180, 1, {IndexKbnkbnWtm, IndexKbnkbnBtm}, "kbnkbn", {5489194800, 5489194800}},
    {181, 1, {IndexKrnkrnWtm, IndexKrnkrnBtm}, "krnkrn", {5446215660, 5446215660}},
    {182, 1, {IndexKrbkrbWtm, IndexKrbkrbBtm}, "krbkrb", {5644742400, 5644742400}},
    {183, 1, {IndexKqnkqnWtm, IndexKqnkqnBtm}, "kqnkqn", {5167040640, 5167040640}},
    {184, 1, {IndexKqbkqbWtm, IndexKqbkqbBtm}, "kqbkqb", {5354274780, 5354274780}},
    {185, 1, {IndexKqrkqrWtm, IndexKqrkqrBtm}, "kqrkqr", {5312269140, 5312269140}},
    {186, 6, {IndexKrnkbnWtm, IndexKrnkbnBtm}, "krnkbn", {5446215660, 5489194800}},
    {187, 4, {IndexKrbkbnWtm, IndexKrbkbnBtm}, "krbkbn", {5644742400, 5489194800}},
    {188, 0, {IndexKrbkrnWtm, IndexKrbkrnBtm}, "krbkrn", {5644742400, 5446215660}},
    {189, 0, {IndexKqnkbnWtm, IndexKqnkbnBtm}, "kqnkbn", {5167040640, 5489194800}},
    {190, 4, {IndexKqnkrnWtm, IndexKqnkrnBtm}, "kqnkrn", {5167040640, 5446215660}},
    {191, 4, {IndexKqnkrbWtm, IndexKqnkrbBtm}, "kqnkrb", {5167040640, 5644742400}},
    {192, 0, {IndexKqbkbnWtm, IndexKqbkbnBtm}, "kqbkbn", {5354274780, 5489194800}},
    {193, 4, {IndexKqbkrnWtm, IndexKqbkrnBtm}, "kqbkrn", {5354274780, 5446215660}},
    {194, 4, {IndexKqbkrbWtm, IndexKqbkrbBtm}, "kqbkrb", {5354274780, 5644742400}},
    {195, 0, {IndexKqbkqnWtm, IndexKqbkqnBtm}, "kqbkqn", {5354274780, 5167040640}},
    {196, 0, {IndexKqrkbnWtm, IndexKqrkbnBtm}, "kqrkbn", {5312269140, 5489194800}},
    {197, 0, {IndexKqrkrnWtm, IndexKqrkrnBtm}, "kqrkrn", {5312269140, 5446215660}},
    {198, 0, {IndexKqrkrbWtm, IndexKqrkrbBtm}, "kqrkrb", {5312269140, 5644742400}},
    {199, 0, {IndexKqrkqnWtm, IndexKqrkqnBtm}, "kqrkqn", {5312269140, 5167040640}},
    {200, 0, {IndexKqrkqbWtm, IndexKqrkqbBtm}, "kqrkqb", {5312269140, 5354274780}},
    {201, 3, {IndexKppkppWtm, IndexKppkppBtm}, "kppkpp", {1917741812, 1917741812}},
    {202, 6, {IndexKnpkppWtm, IndexKnpkppBtm}, "knpkpp", {5088408829, 4966717366}},
    {203, 5, {IndexKnpknpWtm, IndexKnpknpBtm}, "knpknp", {12972508017, 12972508017}},
    {204, 2, {IndexKnnkppWtm, IndexKnnkppBtm}, "knnkpp", {3242803728, 3197807670}},
    {205, 6, {IndexKnnknpWtm, IndexKnnknpBtm}, "knnknp", {8141507232, 8227988370}},
    {206, 6, {IndexKbpkppWtm, IndexKbpkppBtm}, "kbpkpp", {5272919368, 4966717366}},
    {207, 6, {IndexKbpknpWtm, IndexKbpknpBtm}, "kbpknp", {13442882944, 12972508017}},
    {208, 6, {IndexKbpknnWtm, IndexKbpknnBtm}, "kbpknn", {8526316560, 8141507232}},
    {209, 5, {IndexKbpkbpWtm, IndexKbpkbpBtm}, "kbpkbp", {13442882944, 13442882944}},
    {210, 6, {IndexKbnkppWtm, IndexKbnkppBtm}, "kbnkpp", {6838255224, 6395615340}},
    {211, 6, {IndexKbnknpWtm, IndexKbnknpBtm}, "kbnknp", {17168385456, 16455976740}},
    {212, 4, {IndexKbnkbpWtm, IndexKbnkbpBtm}, "kbnkbp", {17168385456, 17052633120}},
    {213, 0, {IndexKbbkppWtm, IndexKbbkppBtm}, "kbbkpp", {3483252720, 3197807670}},
    {214, 6, {IndexKbbknpWtm, IndexKbbknpBtm}, "kbbknp", {8745187680, 8227988370}},
    {215, 4, {IndexKbbkbpWtm, IndexKbbkbpBtm}, "kbbkbp", {8745187680, 8526316560}},
    {216, 6, {IndexKrpkppWtm, IndexKrpkppBtm}, "krpkpp", {5231873656, 4966717366}},
    {217, 6, {IndexKrpknpWtm, IndexKrpknpBtm}, "krpknp", {13338233184, 12972508017}},
    {218, 6, {IndexKrpknnWtm, IndexKrpknnBtm}, "krpknn", {8459934480, 8141507232}},
    {219, 6, {IndexKrpkbpWtm, IndexKrpkbpBtm}, "krpkbp", {13338233184, 13442882944}},
    {220, 6, {IndexKrpkbnWtm, IndexKrpkbnBtm}, "krpkbn", {16919868960, 17168385456}},
    {221, 6, {IndexKrpkbbWtm, IndexKrpkbbBtm}, "krpkbb", {8459934480, 8745187680}},
    {222, 5, {IndexKrpkrpWtm, IndexKrpkrpBtm}, "krpkrp", {13338233184, 13338233184}},
    {223, 6, {IndexKrnkppWtm, IndexKrnkppBtm}, "krnkpp", {6784283808, 6395615340}},
    {224, 6, {IndexKrnknpWtm, IndexKrnknpBtm}, "krnknp", {17032882752, 16455976740}},
    {225, 6, {IndexKrnkbpWtm, IndexKrnkbpBtm}, "krnkbp", {17032882752, 17052633120}},
    {226, 4, {IndexKrnkrpWtm, IndexKrnkrpBtm}, "krnkrp", {17032882752, 16919868906}},
    {227, 6, {IndexKrbkppWtm, IndexKrbkppBtm}, "krbkpp", {7031275200, 6395615340}},
    {228, 6, {IndexKrbknpWtm, IndexKrbknpBtm}, "krbknp", {17652988800, 16455976740}},
    {229, 4, {IndexKrbkbpWtm, IndexKrbkbpBtm}, "krbkbp", {17652988800, 17052633120}},
    {230, 4, {IndexKrbkrpWtm, IndexKrbkrpBtm}, "krbkrp", {17652988800, 16919868906}},
    {231, 2, {IndexKrrkppWtm, IndexKrrkppBtm}, "krrkpp", {3428678952, 3197807670}},
    {232, 6, {IndexKrrknpWtm, IndexKrrknpBtm}, "krrknp", {8608504032, 8227988370}},
    {233, 4, {IndexKrrkbpWtm, IndexKrrkbpBtm}, "krrkbp", {8608504032, 8526316560}},
    {234, 4, {IndexKrrkrpWtm, IndexKrrkrpBtm}, "krrkrp", {8608504032, 8459934426}},
    {235, 6, {IndexKqpkppWtm, IndexKqpkppBtm}, "kqpkpp", {4962533664, 4966717366}},
    {236, 4, {IndexKqpknpWtm, IndexKqpknpBtm}, "kqpknp", {12651597608, 12972508017}},
    {237, 4, {IndexKqpknnWtm, IndexKqpknnBtm}, "kqpknn", {8024443680, 8141507232}},
    {238, 4, {IndexKqpkbpWtm, IndexKqpkbpBtm}, "kqpkbp", {12651597608, 13442882944}},
    {239, 4, {IndexKqpkbnWtm, IndexKqpkbnBtm}, "kqpkbn", {16048887360, 17168385456}},
    {240, 4, {IndexKqpkbbWtm, IndexKqpkbbBtm}, "kqpkbb", {8024443680, 8745187680}},
    {241, 4, {IndexKqpkrpWtm, IndexKqpkrpBtm}, "kqpkrp", {12651597608, 13338233184}},
    {242, 4, {IndexKqpkrnWtm, IndexKqpkrnBtm}, "kqpkrn", {16048887360, 17032882752}},
    {243, 6, {IndexKqpkrbWtm, IndexKqpkrbBtm}, "kqpkrb", {16048887360, 17652988800}},
    {244, 6, {IndexKqpkrrWtm, IndexKqpkrrBtm}, "kqpkrr", {8024443680, 8608504032}},
    {245, 7, {IndexKqpkqpWtm, IndexKqpkqpBtm}, "kqpkqp", {12651597608, 12651597608}},
    {246, 6, {IndexKqnkppWtm, IndexKqnkppBtm}, "kqnkpp", {6436756032, 6395615340}},
    {247, 4, {IndexKqnknpWtm, IndexKqnknpBtm}, "kqnknp", {16160366208, 16455976740}},
    {248, 4, {IndexKqnkbpWtm, IndexKqnkbpBtm}, "kqnkbp", {16160366208, 17052633120}},
    {249, 4, {IndexKqnkrpWtm, IndexKqnkrpBtm}, "kqnkrp", {16160366208, 16919868906}},
    {250, 6, {IndexKqnkqpWtm, IndexKqnkqpBtm}, "kqnkqp", {16160366208, 16048887306}},
    {251, 4, {IndexKqbkppWtm, IndexKqbkppBtm}, "kqbkpp", {6669728640, 6395615340}},
    {252, 4, {IndexKqbknpWtm, IndexKqbknpBtm}, "kqbknp", {16745276160, 16455976740}},
    {253, 4, {IndexKqbkbpWtm, IndexKqbkbpBtm}, "kqbkbp", {16745276160, 17052633120}},
    {254, 4, {IndexKqbkrpWtm, IndexKqbkrpBtm}, "kqbkrp", {16745276160, 16919868906}},
    {255, 6, {IndexKqbkqpWtm, IndexKqbkqpBtm}, "kqbkqp", {16745276160, 16048887306}},
    {256, 4, {IndexKqrkppWtm, IndexKqrkppBtm}, "kqrkpp", {6616853640, 6395615340}},
    {257, 4, {IndexKqrknpWtm, IndexKqrknpBtm}, "kqrknp", {16612871664, 16455976740}},
    {258, 4, {IndexKqrkbpWtm, IndexKqrkbpBtm}, "kqrkbp", {16612871664, 17052633120}},
    {259, 4, {IndexKqrkrpWtm, IndexKqrkrpBtm}, "kqrkrp", {16612871664, 16919868906}},
    {260, 6, {IndexKqrkqpWtm, IndexKqrkqpBtm}, "kqrkqp", {16612871664, 16048887306}},
    {261, 0, {IndexKqqkppWtm, IndexKqqkppBtm}, "kqqkpp", {3082498008, 3197807670}},
    {262, 4, {IndexKqqknpWtm, IndexKqqknpBtm}, "kqqknp", {7739363232, 8227988370}},
    {263, 4, {IndexKqqkbpWtm, IndexKqqkbpBtm}, "kqqkbp", {7739363232, 8526316560}},
    {264, 4, {IndexKqqkrpWtm, IndexKqqkrpBtm}, "kqqkrp", {7739363232, 8459934426}},
    {265, 4, {IndexKqqkqpWtm, IndexKqqkqpBtm}, "kqqkqp", {7739363232, 8024443626}},
    {266, 0, {IndexKnnnknWtm, IndexKnnnknBtm}, "knnnkn", {795687393, 945889180}},
    {267, 0, {IndexKbnnknWtm, IndexKbnnknBtm}, "kbnnkn", {2560971346, 2837667540}},
    {268, 0, {IndexKbbnknWtm, IndexKbbnknBtm}, "kbbnkn", {2654033462, 2837667540}},
    {269, 0, {IndexKbbbknWtm, IndexKbbbknBtm}, "kbbbkn", {885603570, 945889180}},
    {270, 0, {IndexKrnnknWtm, IndexKrnnknBtm}, "krnnkn", {2540315682, 2837667540}},
    {271, 0, {IndexKrbbknWtm, IndexKrbbknBtm}, "krbbkn", {2728283251, 2837667540}},
    {272, 0, {IndexKrrnknWtm, IndexKrrnknBtm}, "krrnkn", {2611650399, 2837667540}},
    {273, 0, {IndexKrrbknWtm, IndexKrrbknBtm}, "krrbkn", {2706549480, 2837667540}},
    {274, 0, {IndexKrrrknWtm, IndexKrrrknBtm}, "krrrkn", {864592254, 945889180}},
    {275, 0, {IndexKqnnknWtm, IndexKqnnknBtm}, "kqnnkn", {2411545114, 2837667540}},
    {276, 0, {IndexKqbbknWtm, IndexKqbbknBtm}, "kqbbkn", {2588901061, 2837667540}},
    {277, 0, {IndexKqrrknWtm, IndexKqrrknBtm}, "kqrrkn", {2547484064, 2837667540}},
    {278, 0, {IndexKqqnknWtm, IndexKqqnknBtm}, "kqqnkn", {2350606433, 2837667540}},
    {279, 0, {IndexKqqbknWtm, IndexKqqbknBtm}, "kqqbkn", {2434987407, 2837667540}},
    {280, 0, {IndexKqqrknWtm, IndexKqqrknBtm}, "kqqrkn", {2415271436, 2837667540}},
    {281, 0, {IndexKqqqknWtm, IndexKqqqknBtm}, "kqqqkn", {736854363, 945889180}},
    {282, 0, {IndexKnnnkbWtm, IndexKnnnkbBtm}, "knnnkb", {795687393, 980475570}},
    {283, 0, {IndexKbnnkbWtm, IndexKbnnkbBtm}, "kbnnkb", {2560971346, 2941426710}},
    {284, 0, {IndexKbbnkbWtm, IndexKbbnkbBtm}, "kbbnkb", {2654033462, 2941426710}},
    {285, 0, {IndexKbbbkbWtm, IndexKbbbkbBtm}, "kbbbkb", {885603570, 980475570}},
    {286, 0, {IndexKrnnkbWtm, IndexKrnnkbBtm}, "krnnkb", {2540315682, 2941426710}},
    {287, 0, {IndexKrbbkbWtm, IndexKrbbkbBtm}, "krbbkb", {2728283251, 2941426710}},
    {288, 0, {IndexKrrnkbWtm, IndexKrrnkbBtm}, "krrnkb", {2611650399, 2941426710}},
    {289, 0, {IndexKrrbkbWtm, IndexKrrbkbBtm}, "krrbkb", {2706549480, 2941426710}},
    {290, 0, {IndexKrrrkbWtm, IndexKrrrkbBtm}, "krrrkb", {864592254, 980475570}},
    {291, 0, {IndexKqnnkbWtm, IndexKqnnkbBtm}, "kqnnkb", {2411545114, 2941426710}},
    {292, 0, {IndexKqbbkbWtm, IndexKqbbkbBtm}, "kqbbkb", {2588901061, 2941426710}},
    {293, 0, {IndexKqrrkbWtm, IndexKqrrkbBtm}, "kqrrkb", {2547484064, 2941426710}},
    {294, 0, {IndexKqqnkbWtm, IndexKqqnkbBtm}, "kqqnkb", {2350606433, 2941426710}},
    {295, 0, {IndexKqqbkbWtm, IndexKqqbkbBtm}, "kqqbkb", {2434987407, 2941426710}},
    {296, 0, {IndexKqqrkbWtm, IndexKqqrkbBtm}, "kqqrkb", {2415271436, 2941426710}},
    {297, 0, {IndexKqqqkbWtm, IndexKqqqkbBtm}, "kqqqkb", {736854363, 980475570}},
    {298, 0, {IndexKnnnkrWtm, IndexKnnnkrBtm}, "knnnkr", {795687393, 973025640}},
    {299, 0, {IndexKbnnkrWtm, IndexKbnnkrBtm}, "kbnnkr", {2560971346, 2919076920}},
    {300, 0, {IndexKbbnkrWtm, IndexKbbnkrBtm}, "kbbnkr", {2654033462, 2919076920}},
    {301, 0, {IndexKbbbkrWtm, IndexKbbbkrBtm}, "kbbbkr", {885603570, 973025640}},
    {302, 0, {IndexKrnnkrWtm, IndexKrnnkrBtm}, "krnnkr", {2540315682, 2919076920}},
    {303, 0, {IndexKrbbkrWtm, IndexKrbbkrBtm}, "krbbkr", {2728283251, 2919076920}},
    {304, 0, {IndexKrrnkrWtm, IndexKrrnkrBtm}, "krrnkr", {2611650399, 2919076920}},
    {305, 0, {IndexKrrbkrWtm, IndexKrrbkrBtm}, "krrbkr", {2706549480, 2919076920}},
    {306, 0, {IndexKrrrkrWtm, IndexKrrrkrBtm}, "krrrkr", {864592254, 973025640}},
    {307, 0, {IndexKqnnkrWtm, IndexKqnnkrBtm}, "kqnnkr", {2411545114, 2919076920}},
    {308, 0, {IndexKqbbkrWtm, IndexKqbbkrBtm}, "kqbbkr", {2588901061, 2919076920}},
    {309, 0, {IndexKqrrkrWtm, IndexKqrrkrBtm}, "kqrrkr", {2547484064, 2919076920}},
    {310, 0, {IndexKqqnkrWtm, IndexKqqnkrBtm}, "kqqnkr", {2350606433, 2919076920}},
    {311, 0, {IndexKqqbkrWtm, IndexKqqbkrBtm}, "kqqbkr", {2434987407, 2919076920}},
    {312, 0, {IndexKqqrkrWtm, IndexKqqrkrBtm}, "kqqrkr", {2415271436, 2919076920}},
    {313, 0, {IndexKqqqkrWtm, IndexKqqqkrBtm}, "kqqqkr", {736854363, 973025640}},
    {314, 0, {IndexKnnnkqWtm, IndexKnnnkqBtm}, "knnnkq", {795687393, 922603650}},
    {315, 0, {IndexKbnnkqWtm, IndexKbnnkqBtm}, "kbnnkq", {2560971346, 2767810950}},
    {316, 0, {IndexKbbnkqWtm, IndexKbbnkqBtm}, "kbbnkq", {2654033462, 2767810950}},
    {317, 0, {IndexKbbbkqWtm, IndexKbbbkqBtm}, "kbbbkq", {885603570, 922603650}},
    {318, 0, {IndexKrnnkqWtm, IndexKrnnkqBtm}, "krnnkq", {2540315682, 2767810950}},
    {319, 0, {IndexKrbbkqWtm, IndexKrbbkqBtm}, "krbbkq", {2728283251, 2767810950}},
    {320, 0, {IndexKrrnkqWtm, IndexKrrnkqBtm}, "krrnkq", {2611650399, 2767810950}},
    {321, 0, {IndexKrrbkqWtm, IndexKrrbkqBtm}, "krrbkq", {2706549480, 2767810950}},
    {322, 0, {IndexKrrrkqWtm, IndexKrrrkqBtm}, "krrrkq", {864592254, 922603650}},
    {323, 0, {IndexKqnnkqWtm, IndexKqnnkqBtm}, "kqnnkq", {2411545114, 2767810950}},
    {324, 0, {IndexKqbbkqWtm, IndexKqbbkqBtm}, "kqbbkq", {2588901061, 2767810950}},
    {325, 0, {IndexKqrrkqWtm, IndexKqrrkqBtm}, "kqrrkq", {2547484064, 2767810950}},
    {326, 0, {IndexKqqnkqWtm, IndexKqqnkqBtm}, "kqqnkq", {2350606433, 2767810950}},
    {327, 0, {IndexKqqbkqWtm, IndexKqqbkqBtm}, "kqqbkq", {2434987407, 2767810950}},
    {328, 0, {IndexKqqrkqWtm, IndexKqqrkqBtm}, "kqqrkq", {2415271436, 2767810950}},
    {329, 0, {IndexKqqqkqWtm, IndexKqqqkqBtm}, "kqqqkq", {736854363, 922603650}},
    {330, 0, {IndexKrbnknWtm, IndexKrbnknBtm}, "krbnkn", {5356454122, 5675335080}},
    {331, 0, {IndexKqbnknWtm, IndexKqbnknBtm}, "kqbnkn", {5083836303, 5675335080}},
    {332, 0, {IndexKqrnknWtm, IndexKqrnknBtm}, "kqrnkn", {5042765577, 5675335080}},
    {333, 0, {IndexKqrbknWtm, IndexKqrbknBtm}, "kqrbkn", {5224919581, 5675335080}},
    {334, 0, {IndexKrbnkbWtm, IndexKrbnkbBtm}, "krbnkb", {5356454122, 5882853420}},
    {335, 0, {IndexKqbnkbWtm, IndexKqbnkbBtm}, "kqbnkb", {5083836303, 5882853420}},
    {336, 0, {IndexKqrnkbWtm, IndexKqrnkbBtm}, "kqrnkb", {5042765577, 5882853420}},
    {337, 0, {IndexKqrbkbWtm, IndexKqrbkbBtm}, "kqrbkb", {5224919581, 5882853420}},
    {338, 0, {IndexKrbnkrWtm, IndexKrbnkrBtm}, "krbnkr", {5356454122, 5838153840}},
    {339, 0, {IndexKqbnkrWtm, IndexKqbnkrBtm}, "kqbnkr", {5083836303, 5838153840}},
    {340, 0, {IndexKqrnkrWtm, IndexKqrnkrBtm}, "kqrnkr", {5042765577, 5838153840}},
    {341, 0, {IndexKqrbkrWtm, IndexKqrbkrBtm}, "kqrbkr", {5224919581, 5838153840}},
    {342, 0, {IndexKrbnkqWtm, IndexKrbnkqBtm}, "krbnkq", {5356454122, 5535621900}},
    {343, 4, {IndexKqbnkqWtm, IndexKqbnkqBtm}, "kqbnkq", {5083836303, 5535621900}},
    {344, 0, {IndexKqrnkqWtm, IndexKqrnkqBtm}, "kqrnkq", {5042765577, 5535621900}},
    {345, 0, {IndexKqrbkqWtm, IndexKqrbkqBtm}, "kqrbkq", {5224919581, 5535621900}},
    {346, 2, {IndexKpppkpWtm, IndexKpppkpBtm}, "kpppkp", {1196695343, 1348100424}},
    {347, 6, {IndexKnppkpWtm, IndexKnppkpBtm}, "knppkp", {4796630713, 5271860528}},
    {348, 4, {IndexKnnpkpWtm, IndexKnnpkpBtm}, "knnpkp", {6156616111, 6835422612}},
    {349, 0, {IndexKnnnkpWtm, IndexKnnnkpBtm}, "knnnkp", {2531022144, 2939087360}},
    {350, 6, {IndexKbppkpWtm, IndexKbppkpBtm}, "kbppkp", {4969303175, 5271860528}},
    {351, 6, {IndexKbnpkpWtm, IndexKbnpkpBtm}, "kbnpkp", {12979462304, 13670845224}},
    {352, 4, {IndexKbnnkpWtm, IndexKbnnkpBtm}, "kbnnkp", {8146120416, 8817262080}},
    {353, 6, {IndexKbbpkpWtm, IndexKbbpkpBtm}, "kbbpkp", {6609838740, 6835422612}},
    {354, 4, {IndexKbbnkpWtm, IndexKbbnkpBtm}, "kbbnkp", {8441899104, 8817262080}},
    {355, 0, {IndexKbbbkpWtm, IndexKbbbkpBtm}, "kbbbkp", {2816801280, 2939087360}},
    {356, 6, {IndexKrppkpWtm, IndexKrppkpBtm}, "krppkp", {4929998839, 5271860528}},
    {357, 6, {IndexKrnpkpWtm, IndexKrnpkpBtm}, "krnpkp", {12875424829, 13670845224}},
    {358, 4, {IndexKrnnkpWtm, IndexKrnnkpBtm}, "krnnkp", {8079921360, 8817262080}},
    {359, 6, {IndexKrbpkpWtm, IndexKrbpkpBtm}, "krbpkp", {13340861520, 13670845224}},
    {360, 4, {IndexKrbnkpWtm, IndexKrbnkpBtm}, "krbnkp", {17036639904, 17634524160}},
    {361, 4, {IndexKrbbkpWtm, IndexKrbbkpBtm}, "krbbkp", {8677177872, 8817262080}},
    {362, 6, {IndexKrrpkpWtm, IndexKrrpkpBtm}, "krrpkp", {6504899238, 6835422612}},
    {363, 4, {IndexKrrnkpWtm, IndexKrrnkpBtm}, "krrnkp", {8306047872, 8817262080}},
    {364, 4, {IndexKrrbkpWtm, IndexKrrbkpBtm}, "krrbkp", {8607504960, 8817262080}},
    {365, 0, {IndexKrrrkpWtm, IndexKrrrkpBtm}, "krrrkp", {2749283520, 2939087360}},
    {366, 6, {IndexKqppkpWtm, IndexKqppkpBtm}, "kqppkp", {4677701571, 5271860528}},
    {367, 6, {IndexKqnpkpWtm, IndexKqnpkpBtm}, "kqnpkp", {12219736849, 13670845224}},
    {368, 4, {IndexKqnnkpWtm, IndexKqnnkpBtm}, "kqnnkp", {7670559696, 8817262080}},
    {369, 6, {IndexKqbpkpWtm, IndexKqbpkpBtm}, "kqbpkp", {12658882024, 13670845224}},
    {370, 4, {IndexKqbnkpWtm, IndexKqbnkpBtm}, "kqbnkp", {16170070752, 17634524160}},
    {371, 4, {IndexKqbbkpWtm, IndexKqbbkpBtm}, "kqbbkp", {8234170512, 8817262080}},
    {372, 4, {IndexKqrpkpWtm, IndexKqrpkpBtm}, "kqrpkp", {12557225406, 13670845224}},
    {373, 4, {IndexKqrnkpWtm, IndexKqrnkpBtm}, "kqrnkp", {16038464256, 17634524160}},
    {374, 4, {IndexKqrbkpWtm, IndexKqrbkpBtm}, "kqrbkp", {16617170832, 17634524160}},
    {375, 4, {IndexKqrrkpWtm, IndexKqrrkpBtm}, "kqrrkp", {8101097520, 8817262080}},
    {376, 4, {IndexKqqpkpWtm, IndexKqqpkpBtm}, "kqqpkp", {5851888362, 6835422612}},
    {377, 4, {IndexKqqnkpWtm, IndexKqqnkpBtm}, "kqqnkp", {7476276864, 8817262080}},
    {378, 4, {IndexKqqbkpWtm, IndexKqqbkpBtm}, "kqqbkp", {7744392000, 8817262080}},
    {379, 4, {IndexKqqrkpWtm, IndexKqqrkpBtm}, "kqqrkp", {7680886080, 8817262080}},
    {380, 0, {IndexKqqqkpWtm, IndexKqqqkpBtm}, "kqqqkp", {2343300048, 2939087360}},
    {381, 0, {IndexKpppknWtm, IndexKpppknBtm}, "kpppkn", {1537640536, 1777129408}},
    {382, 4, {IndexKnppknWtm, IndexKnppknBtm}, "knppkn", {6071020409, 6838084896}},
    {383, 4, {IndexKnnpknWtm, IndexKnnpknBtm}, "knnpkn", {7677994559, 8729470080}},
    {384, 4, {IndexKbppknWtm, IndexKbppknBtm}, "kbppkn", {6289527204, 6838084896}},
    {385, 4, {IndexKbnpknWtm, IndexKbnpknBtm}, "kbnpkn", {16186823401, 17458940160}},
    {386, 4, {IndexKbbpknWtm, IndexKbbpknBtm}, "kbbpkn", {8243187360, 8729470080}},
    {387, 4, {IndexKrppknWtm, IndexKrppknBtm}, "krppkn", {6239761412, 6838084896}},
    {388, 4, {IndexKrnpknWtm, IndexKrnpknBtm}, "krnpkn", {16057066825, 17458940160}},
    {389, 4, {IndexKrbpknWtm, IndexKrbpknBtm}, "krbpkn", {16637490240, 17458940160}},
    {390, 4, {IndexKrrpknWtm, IndexKrrpknBtm}, "krrpkn", {8112305064, 8729470080}},
    {391, 4, {IndexKqppknWtm, IndexKqppknBtm}, "kqppkn", {5920486098, 6838084896}},
    {392, 4, {IndexKqnpknWtm, IndexKqnpknBtm}, "kqnpkn", {15239383701, 17458940160}},
    {393, 4, {IndexKqbpknWtm, IndexKqbpknBtm}, "kqbpkn", {15787021288, 17458940160}},
    {394, 4, {IndexKqrpknWtm, IndexKqrpknBtm}, "kqrpkn", {15660230819, 17458940160}},
    {395, 4, {IndexKqqpknWtm, IndexKqqpknBtm}, "kqqpkn", {7297961576, 8729470080}},
    {396, 0, {IndexKpppkbWtm, IndexKpppkbBtm}, "kpppkb", {1537640536, 1842024000}},
    {397, 4, {IndexKnppkbWtm, IndexKnppkbBtm}, "knppkb", {6071020409, 7087788000}},
    {398, 4, {IndexKnnpkbWtm, IndexKnnpkbBtm}, "knnpkb", {7677994559, 9048240000}},
    {399, 4, {IndexKbppkbWtm, IndexKbppkbBtm}, "kbppkb", {6289527204, 7087788000}},
    {400, 4, {IndexKbnpkbWtm, IndexKbnpkbBtm}, "kbnpkb", {16186823401, 18096480000}},
    {401, 4, {IndexKbbpkbWtm, IndexKbbpkbBtm}, "kbbpkb", {8243187360, 9048240000}},
    {402, 4, {IndexKrppkbWtm, IndexKrppkbBtm}, "krppkb", {6239761412, 7087788000}},
    {403, 4, {IndexKrnpkbWtm, IndexKrnpkbBtm}, "krnpkb", {16057066825, 18096480000}},
    {404, 4, {IndexKrbpkbWtm, IndexKrbpkbBtm}, "krbpkb", {16637490240, 18096480000}},
    {405, 4, {IndexKrrpkbWtm, IndexKrrpkbBtm}, "krrpkb", {8112305064, 9048240000}},
    {406, 4, {IndexKqppkbWtm, IndexKqppkbBtm}, "kqppkb", {5920486098, 7087788000}},
    {407, 4, {IndexKqnpkbWtm, IndexKqnpkbBtm}, "kqnpkb", {15239383701, 18096480000}},
    {408, 4, {IndexKqbpkbWtm, IndexKqbpkbBtm}, "kqbpkb", {15787021288, 18096480000}},
    {409, 4, {IndexKqrpkbWtm, IndexKqrpkbBtm}, "kqrpkb", {15660230819, 18096480000}},
    {410, 4, {IndexKqqpkbWtm, IndexKqqpkbBtm}, "kqqpkb", {7297961576, 9048240000}},
    {411, 0, {IndexKpppkrWtm, IndexKpppkrBtm}, "kpppkr", {1537640536, 1827875872}},
    {412, 4, {IndexKnppkrWtm, IndexKnppkrBtm}, "knppkr", {6071020409, 7033481568}},
    {413, 4, {IndexKnnpkrWtm, IndexKnnpkrBtm}, "knnpkr", {7677994559, 8978912640}},
    {414, 6, {IndexKbppkrWtm, IndexKbppkrBtm}, "kbppkr", {6289527204, 7033481568}},
    {415, 6, {IndexKbnpkrWtm, IndexKbnpkrBtm}, "kbnpkr", {16186823401, 17957825280}},
    {416, 6, {IndexKbbpkrWtm, IndexKbbpkrBtm}, "kbbpkr", {8243187360, 8978912640}},
    {417, 4, {IndexKrppkrWtm, IndexKrppkrBtm}, "krppkr", {6239761412, 7033481568}},
    {418, 4, {IndexKrnpkrWtm, IndexKrnpkrBtm}, "krnpkr", {16057066825, 17957825280}},
    {419, 4, {IndexKrbpkrWtm, IndexKrbpkrBtm}, "krbpkr", {16637490240, 17957825280}},
    {420, 4, {IndexKrrpkrWtm, IndexKrrpkrBtm}, "krrpkr", {8112305064, 8978912640}},
    {421, 4, {IndexKqppkrWtm, IndexKqppkrBtm}, "kqppkr", {5920486098, 7033481568}},
    {422, 4, {IndexKqnpkrWtm, IndexKqnpkrBtm}, "kqnpkr", {15239383701, 17957825280}},
    {423, 4, {IndexKqbpkrWtm, IndexKqbpkrBtm}, "kqbpkr", {15787021288, 17957825280}},
    {424, 4, {IndexKqrpkrWtm, IndexKqrpkrBtm}, "kqrpkr", {15660230819, 17957825280}},
    {425, 4, {IndexKqqpkrWtm, IndexKqqpkrBtm}, "kqqpkr", {7297961576, 8978912640}},
    {426, 2, {IndexKpppkqWtm, IndexKpppkqBtm}, "kpppkq", {1537640536, 1733232160}},
    {427, 6, {IndexKnppkqWtm, IndexKnppkqBtm}, "knppkq", {6071020409, 6669309024}},
    {428, 4, {IndexKnnpkqWtm, IndexKnnpkqBtm}, "knnpkq", {7677994559, 8514011520}},
    {429, 6, {IndexKbppkqWtm, IndexKbppkqBtm}, "kbppkq", {6289527204, 6669309024}},
    {430, 6, {IndexKbnpkqWtm, IndexKbnpkqBtm}, "kbnpkq", {16186823401, 17028023040}},
    {431, 6, {IndexKbbpkqWtm, IndexKbbpkqBtm}, "kbbpkq", {8243187360, 8514011520}},
    {432, 6, {IndexKrppkqWtm, IndexKrppkqBtm}, "krppkq", {6239761412, 6669309024}},
    {433, 6, {IndexKrnpkqWtm, IndexKrnpkqBtm}, "krnpkq", {16057066825, 17028023040}},
    {434, 6, {IndexKrbpkqWtm, IndexKrbpkqBtm}, "krbpkq", {16637490240, 17028023040}},
    {435, 6, {IndexKrrpkqWtm, IndexKrrpkqBtm}, "krrpkq", {8112305064, 8514011520}},
    {436, 6, {IndexKqppkqWtm, IndexKqppkqBtm}, "kqppkq", {5920486098, 6669309024}},
    {437, 6, {IndexKqnpkqWtm, IndexKqnpkqBtm}, "kqnpkq", {15239383701, 17028023040}},
    {438, 6, {IndexKqbpkqWtm, IndexKqbpkqBtm}, "kqbpkq", {15787021288, 17028023040}},
    {439, 6, {IndexKqrpkqWtm, IndexKqrpkqBtm}, "kqrpkq", {15660230819, 17028023040}},
    {440, 4, {IndexKqqpkqWtm, IndexKqqpkqBtm}, "kqqpkq", {7297961576, 8514011520}},
};
