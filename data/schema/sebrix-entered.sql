-- Entered data of the surgical program: episodes, items, surgeries,
-- institution, last identifier, ward codes.
CREATE TABLE alap (
    Azonosito INTEGER,
    Int_kod TEXT COLLATE HUNOCASE,
    Int_tipus TEXT COLLATE HUNOCASE,
    T_szam TEXT COLLATE HUNOCASE,
    Taj TEXT COLLATE HUNOCASE,
    Tsor TEXT COLLATE HUNOCASE,
    Fdat TEXT COLLATE HUNOCASE,
    Fido TEXT COLLATE HUNOCASE,
    F_okod TEXT COLLATE HUNOCASE,
    Okod TEXT COLLATE HUNOCASE,
    Tdat TEXT COLLATE HUNOCASE,
    Tido TEXT COLLATE HUNOCASE,
    Ojele TEXT COLLATE HUNOCASE,
    Vjel BOOLEAN DEFAULT 0,
    "Manuális" BOOLEAN DEFAULT 0,
    Betegseg TEXT COLLATE HUNOCASE,
    Beavatkoz TEXT COLLATE HUNOCASE,
    tovsors TEXT COLLATE HUNOCASE,
    Mutido TEXT COLLATE HUNOCASE,
    Mut1 TEXT COLLATE HUNOCASE,
    Mut2 TEXT COLLATE HUNOCASE,
    Mut3 TEXT COLLATE HUNOCASE,
    Mut4 TEXT COLLATE HUNOCASE
);
CREATE INDEX alap_T_szam ON alap (T_szam);
CREATE INDEX alap_Azonosito ON alap (Azonosito);
CREATE INDEX alap_Fdat ON alap (Fdat);

CREATE TABLE "Ráfkódok" (
    Azonosito TEXT COLLATE HUNOCASE,
    Rkod TEXT COLLATE HUNOCASE,
    Rmen TEXT COLLATE HUNOCASE,
    "Rmegnevezés" TEXT COLLATE HUNOCASE,
    Pont REAL DEFAULT 0,
    "Egységár" REAL,
    "Érték" REAL,
    Tipus TEXT COLLATE HUNOCASE,
    Me TEXT COLLATE HUNOCASE,
    "Manuális" BOOLEAN DEFAULT 0,
    Fdat TEXT COLLATE HUNOCASE,
    AzonB TEXT COLLATE HUNOCASE,
    Mkod TEXT COLLATE HUNOCASE,
    Mido TEXT COLLATE HUNOCASE
);
CREATE INDEX "Ráfkódok_Azonosito" ON "Ráfkódok" (Azonosito);
CREATE INDEX "Ráfkódok_Azonosito_Mkod" ON "Ráfkódok" (Azonosito, Mkod);

CREATE TABLE intadatok (
    int_kod TEXT COLLATE HUNOCASE,
    Int_neve TEXT COLLATE HUNOCASE
);

CREATE TABLE "Utolso azonosito" (
    UTOLSO NUMERIC
);
-- A new data folder starts at identifier 0: the first episode gets 1.
INSERT INTO "Utolso azonosito" (UTOLSO) VALUES ('0');

CREATE TABLE "Osztálykódok" (
    Okod TEXT COLLATE HUNOCASE,
    "Megnevezés" TEXT COLLATE HUNOCASE,
    Ojelleg TEXT COLLATE HUNOCASE
);
CREATE INDEX "Osztálykódok_Okod" ON "Osztálykódok" (Okod);

CREATE TABLE "műtétek" (
    Azonosito TEXT COLLATE HUNOCASE,
    Mkod TEXT COLLATE HUNOCASE,
    "Mmegnevezés" TEXT COLLATE HUNOCASE,
    Mido TEXT COLLATE HUNOCASE,
    AzonB TEXT COLLATE HUNOCASE
);
CREATE INDEX "műtétek_Azonosito" ON "műtétek" (Azonosito);
