-- Invented sample ward codes for a fresh data folder, so that the first
-- episode can be given a ward at once; a site keeps its own in the window
-- "Osztálykódok karbantartása".
INSERT INTO "Osztálykódok" (Okod, "Megnevezés", Ojelleg) VALUES ('0111', 'Belgyógyászat', '1');
INSERT INTO "Osztálykódok" (Okod, "Megnevezés", Ojelleg) VALUES ('0211', 'Sebészet', '1');
