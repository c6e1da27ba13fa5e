-- The demonstration window's sample table.
CREATE TABLE Projectek (
    PrAzonosito INTEGER,
    PrNev TEXT COLLATE HUNOCASE,
    PrTipus TEXT COLLATE HUNOCASE
);
INSERT INTO Projectek (PrAzonosito, PrNev, PrTipus) VALUES (1, 'Kórházi ágynyilvántartás', 'Belső');
INSERT INTO Projectek (PrAzonosito, PrNev, PrTipus) VALUES (2, 'Műtőblokk felújítás', 'Beruházás');
INSERT INTO Projectek (PrAzonosito, PrNev, PrTipus) VALUES (3, 'Gyógyszerraktár átszervezése', 'Belső');
INSERT INTO Projectek (PrAzonosito, PrNev, PrTipus) VALUES (4, 'Ápolói továbbképzés', 'Oktatás');
INSERT INTO Projectek (PrAzonosito, PrNev, PrTipus) VALUES (5, 'Sürgősségi osztály bővítése', 'Beruházás');
INSERT INTO Projectek (PrAzonosito, PrNev, PrTipus) VALUES (6, 'Labor automatizálás', 'Fejlesztés');
INSERT INTO Projectek (PrAzonosito, PrNev, PrTipus) VALUES (7, 'Betegirányítási rendszer', 'Fejlesztés');
INSERT INTO Projectek (PrAzonosito, PrNev, PrTipus) VALUES (8, 'Konyhai higiénés felmérés', 'Belső');
INSERT INTO Projectek (PrAzonosito, PrNev, PrTipus) VALUES (9, 'Mentőgépkocsi beszerzés', 'Beruházás');
INSERT INTO Projectek (PrAzonosito, PrNev, PrTipus) VALUES (10, 'Telemedicina kísérlet', 'Fejlesztés');
INSERT INTO Projectek (PrAzonosito, PrNev, PrTipus) VALUES (11, 'Éves leltár', 'Belső');
INSERT INTO Projectek (PrAzonosito, PrNev, PrTipus) VALUES (12, 'Radiológiai archívum digitalizálása', NULL);
