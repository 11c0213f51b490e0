-- library.sql: the loans of a small lending library.
/* Tables are created in dependency order; the
   views at the end are what the front desk uses. */
CREATE TABLE members (
    member_id   INTEGER PRIMARY KEY,
    full_name   VARCHAR(120) NOT NULL,
    email       VARCHAR(200) UNIQUE,
    joined_on   DATE DEFAULT CURRENT_DATE
);

CREATE TABLE books (
    book_id     INTEGER PRIMARY KEY,
    isbn        CHAR(13) NOT NULL,
    title       VARCHAR(300) NOT NULL,
    "Shelf Mark" VARCHAR(20),
    price       DECIMAL(8, 2) CHECK (price >= 0)
);

CREATE TABLE loans (
    loan_id     INTEGER PRIMARY KEY,
    book_id     INTEGER NOT NULL REFERENCES books (book_id),
    member_id   INTEGER NOT NULL REFERENCES members (member_id),
    lent_on     DATE NOT NULL,
    due_on      DATE NOT NULL,
    returned_on DATE
);

INSERT INTO members (member_id, full_name, email)
VALUES (1, 'Ada Byron', 'ada@example.org'),
       (2, 'O''Brien, Pat', NULL);

INSERT INTO books VALUES (10, '9780000000017', 'A Field Guide to Mosses', 'B-12', 24.90);

-- Loans overdue today, longest first.
CREATE VIEW overdue AS
SELECT m.full_name, b.title, l.due_on,
       CURRENT_DATE - l.due_on AS days_late,
       ROUND((CURRENT_DATE - l.due_on) * 0.25, 2) AS fine
  FROM loans AS l
  JOIN members m ON m.member_id = l.member_id
  JOIN books b ON b.book_id = l.book_id
 WHERE l.returned_on IS NULL
   AND l.due_on < CURRENT_DATE
 ORDER BY days_late DESC;

UPDATE loans SET returned_on = CURRENT_DATE WHERE loan_id = $1;
SELECT COUNT(*), MAX(price), @@version FROM books WHERE title LIKE '%Moss%' ESCAPE '\';
