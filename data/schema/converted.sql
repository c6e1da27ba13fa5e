-- Converted records of the monthly inpatient report: the record's fields as
-- text and whether the record has been taken over into an episode.
CREATE TABLE konv (
    "Munkahely_azon" TEXT COLLATE HUNOCASE,
    "Torzsszam" TEXT COLLATE HUNOCASE,
    "Sorszám" TEXT COLLATE HUNOCASE,
    "Resz_sor" TEXT COLLATE HUNOCASE,
    "Szemelyaz" TEXT COLLATE HUNOCASE,
    "Az_tipus" TEXT COLLATE HUNOCASE,
    "Beteg_neme" TEXT COLLATE HUNOCASE,
    "Szul_datum" TEXT COLLATE HUNOCASE,
    "Allampolg" TEXT COLLATE HUNOCASE,
    "Csaladi_all" TEXT COLLATE HUNOCASE,
    "Kis_torzsszam" TEXT COLLATE HUNOCASE,
    "Feor" TEXT COLLATE HUNOCASE,
    "Ir_szam" TEXT COLLATE HUNOCASE,
    "Ter_kat" TEXT COLLATE HUNOCASE,
    "Beutalo" TEXT COLLATE HUNOCASE,
    "Felv_dat" TEXT COLLATE HUNOCASE,
    "Felv_tim" TEXT COLLATE HUNOCASE,
    "Oszt_tipus" TEXT COLLATE HUNOCASE,
    "Felv_tipus" TEXT COLLATE HUNOCASE,
    "Felv_jell" TEXT COLLATE HUNOCASE,
    "Tav_dat" TEXT COLLATE HUNOCASE,
    "Tav_tim" TEXT COLLATE HUNOCASE,
    "Tov_sors" TEXT COLLATE HUNOCASE,
    "Betegseg" TEXT COLLATE HUNOCASE,
    "Beavatkoz" TEXT COLLATE HUNOCASE,
    "Onkologia" TEXT COLLATE HUNOCASE,
    "Ujsz_suly" TEXT COLLATE HUNOCASE,
    "Baleset_min" TEXT COLLATE HUNOCASE,
    "Felhaszn" TEXT COLLATE HUNOCASE,
    "Orvoskod" TEXT COLLATE HUNOCASE,
    "Rekord_tip" TEXT COLLATE HUNOCASE,
    "Tartalek" TEXT COLLATE HUNOCASE,
    Feldolgozva BOOLEAN DEFAULT 0
);
CREATE INDEX konv_Torzsszam ON konv (Torzsszam);
-- The records still to process are counted and walked without reading the
-- processed ones.
CREATE INDEX konv_Feldolgozva ON konv (Feldolgozva);
